#include "measurement/add_on_program.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

#include "platform/message_box.h"
#include "platform/qt_text.h"
#include "res/string_table.h"

namespace measurement {

namespace {

class Desktop : public IAddOnLauncher {
public:
    bool StartProgram(const CString& path) override
    {
        return QProcess::startDetached(platform::ToQString(path), QStringList());
    }
    bool OpenDocument(const CString& path) override
    {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(platform::ToQString(path)));
    }
};

}  // namespace

AddOnKind ClassifyAddOnProgram(const CString& input)
{
    const CString path = CString(input).Trim();
    if (path.IsEmpty() || path == "n.a.") return AddOnKind::None;
    const QFileInfo info(platform::ToQString(path));
    return info.isFile() && info.isExecutable() ? AddOnKind::Executable : AddOnKind::Document;
}

IAddOnLauncher& DesktopLauncher()
{
    static Desktop desktop;
    return desktop;
}

bool RunAddOnProgram(const CString& input, IAddOnLauncher& launcher)
{
    const CString path = CString(input).Trim();
    bool started = false;
    switch (ClassifyAddOnProgram(path)) {
    case AddOnKind::None: return false;
    case AddOnKind::Executable: started = launcher.StartProgram(path); break;
    case AddOnKind::Document: started = QFileInfo::exists(platform::ToQString(path)) && launcher.OpenDocument(path); break;
    }
    if (!started) TellAddOnProgramFault(path);
    return started;
}

bool AddOnProgramFound(const CString& input)
{
    const CString path = CString(input).Trim();
    return ClassifyAddOnProgram(path) == AddOnKind::None || QFileInfo::exists(platform::ToQString(path));
}

void TellAddOnProgramFault(const CString& input)
{
    const CString path = CString(input).Trim();
    platform::ShowNotice(CString::Formatted(LoadLangString(5463).GetString(), path.GetString()), platform::MB_ICONWARNING);
}

}  // namespace measurement
