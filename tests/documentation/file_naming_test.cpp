#include <gtest/gtest.h>

#include <filesystem>

#include "documentation/file_naming.h"
#include "temp_folder.h"

using namespace documentation;
using documentation_test::ReadAll;
using documentation_test::TempFolder;
using documentation_test::WriteAll;

TEST(FileNaming, IndexedNameTakesTheIndexAfterTheHighestAndNeverOverwrites)
{
    TempFolder dir;
    CAppendFile file;
    CString error;
    ASSERT_TRUE(ClaimIndexedFile(dir.Folder(), "Messwerte", ".csv", file, error)) << error.GetString();
    EXPECT_EQ(CString(dir.File("Messwerte_0001.csv")), file.FileName());
    file.Close();

    // A gap below, a higher index, and names that only look alike.
    WriteAll(dir.File("Messwerte_0007.csv"), "keep me");
    WriteAll(dir.File("Messwerte_0012.txt"), "");
    WriteAll(dir.File("Messwerte_12a.csv"), "");
    WriteAll(dir.File("MesswerteX_0099.csv"), "");
    WriteAll(dir.File("Messwerte_.csv"), "");
    EXPECT_EQ(7, HighestIndex(dir.Folder(), "Messwerte", ".csv"));
    ASSERT_TRUE(ClaimIndexedFile(dir.Folder(), "Messwerte", ".csv", file, error));
    EXPECT_EQ(CString(dir.File("Messwerte_0008.csv")), file.FileName());
    EXPECT_EQ("keep me", ReadAll(dir.File("Messwerte_0007.csv")));

    // Beyond four digits the index simply grows.
    WriteAll(dir.File("Messwerte_9999.csv"), "");
    CString name;
    ASSERT_TRUE(ClaimIndexedName(dir.Folder(), "Messwerte", ".csv", name, error));
    EXPECT_EQ(CString(dir.File("Messwerte_10000.csv")), name);
    EXPECT_TRUE(std::filesystem::exists(name.GetString()));  // claimed by an empty file

    EXPECT_EQ(CString(dir.File("IO_NIO.csv")), ConstantFileName(dir.Folder(), "IO_NIO", ".csv"));
    EXPECT_EQ(CString(dir.File("IO_NIO.csv")), ConstantFileName(dir.Folder() + "/", "IO_NIO", ".csv"));
}

TEST(FileNaming, AnIndexedNameInAFolderThatCannotHoldFilesFailsWithTheReason)
{
    TempFolder dir;
    WriteAll(dir.File("plain"), "");
    CAppendFile file;
    CString error;
    EXPECT_FALSE(ClaimIndexedFile(CString(dir.File("missing")), "M", ".csv", file, error));
    EXPECT_FALSE(error.IsEmpty());
    EXPECT_FALSE(ClaimIndexedFile(CString(dir.File("plain")), "M", ".csv", file, error));
    EXPECT_FALSE(file.IsOpen());
}
