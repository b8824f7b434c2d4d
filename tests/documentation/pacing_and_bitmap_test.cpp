#include <gtest/gtest.h>

#include <filesystem>

#include "documentation/diagram_storage.h"
#include "documentation/write_pacer.h"
#include "platform/wnd.h"
#include "res/string_table.h"
#include "temp_folder.h"

using namespace documentation;
using documentation_test::ReadAll;
using documentation_test::TempFolder;
using documentation_test::WriteAll;

namespace {

class StepCounter : public CWnd {
public:
    explicit StepCounter(platform::MessageLoop& loop) : CWnd(loop) {}
    CWritePacer* pacer = nullptr;
    int steps = 0;

protected:
    LRESULT OnMessage(UINT message, WPARAM, LPARAM) override
    {
        if (message == 0x8123) {
            ++steps;
            pacer->StepTaken();
        }
        return 0;
    }
};

// The pacing thread posts steps to the GUI thread's loop, never more than one waiting, and
// stops at once when asked.
TEST(WritePacer, PostsOneStepAtATimeAndStopsPromptly)
{
    platform::MessageLoop loop(platform::MessageLoop::Time::Real);
    StepCounter window(loop);
    CWritePacer pacer(loop, window.GetSafeHwnd(), 0x8123, 5);
    window.pacer = &pacer;
    pacer.Start();
    EXPECT_TRUE(pacer.IsRunning());
    ASSERT_TRUE(loop.RunUntil([&] { return window.steps >= 5; }, 10000));
    const auto start = std::chrono::steady_clock::now();
    pacer.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_FALSE(pacer.IsRunning());
    // The thread has ended: at most the one step it had posted is still waiting.
    EXPECT_LE(loop.PendingPostedMessages(), 1u);
    loop.RunUntilIdle();
    EXPECT_EQ(0u, loop.PendingPostedMessages());
}

class FakeDiagram : public IDiagramBitmapSource {
public:
    bool succeed = true;
    std::vector<CString> saved;
    bool SaveBitmap(const CString& fileName) override
    {
        saved.push_back(fileName);
        if (succeed) WriteAll(fileName.GetString(), "BM");
        return succeed;
    }
};

TEST(DiagramStorage, BitmapsFollowTheNamingSchemeAndAFailedOneLeavesNoEmptyFile)
{
    TempFolder dir;
    CDocumentationSettings settings;
    settings.directory[kDiagrams] = dir.Folder();
    settings.autoStorage = 1;
    FakeDiagram diagram;
    CString name;

    settings.storageMode[kDiagrams] = kStorageOff;
    EXPECT_TRUE(StoreDiagramBitmap(settings, diagram, name).IsEmpty());
    EXPECT_TRUE(diagram.saved.empty());

    settings.storageMode[kDiagrams] = kStorageIndexed;
    WriteAll(dir.File("Diagramm_0004.bmp"), "old");
    EXPECT_TRUE(StoreDiagramBitmap(settings, diagram, name).IsEmpty());
    EXPECT_EQ(CString(dir.File("Diagramm_0005.bmp")), name);
    EXPECT_EQ("old", ReadAll(dir.File("Diagramm_0004.bmp")));

    diagram.succeed = false;
    const CString message = StoreDiagramBitmap(settings, diagram, name);
    EXPECT_NE(-1, message.Find(CString(dir.File("Diagramm_0006.bmp"))));
    EXPECT_EQ(-1, message.Find("()")) << message.GetString();  // no reason known: none shown
    EXPECT_FALSE(std::filesystem::exists(dir.File("Diagramm_0006.bmp")));

    diagram.succeed = true;
    settings.storageMode[kDiagrams] = kStorageConstant;
    EXPECT_TRUE(StoreDiagramBitmap(settings, diagram, name).IsEmpty());
    EXPECT_TRUE(StoreDiagramBitmap(settings, diagram, name).IsEmpty());
    EXPECT_EQ(CString(dir.File("Diagramm.bmp")), name);

    // The reason, in the program's language.
    settings.directory[kDiagrams] = CString(dir.File("missing"));
    settings.storageMode[kDiagrams] = kStorageIndexed;
    SetLanguage(2000);
    const CString missing = StoreDiagramBitmap(settings, diagram, name);
    SetLanguage(0);
    EXPECT_NE(-1, missing.Find(CString(dir.File("missing"))));
    EXPECT_NE(-1, missing.Find("(dossier ou fichier inexistant)")) << missing.GetString();
}

}  // namespace
