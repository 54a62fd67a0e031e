#include "app/programfolder.h"

#include <gtest/gtest.h>

using namespace velanote;

TEST(ProgramFolder, AnInstalledCopyKeepsItsFilesOutOfTheFoldersItSharesWithOtherPrograms) {
    const struct {
        const char* path;
        bool install;
    } cases[] = {
        {"/usr/bin", true},
        {"/usr/local/bin/", true},
        {"/bin", true},
        {"/home/u/.local/bin", true},
        {"/opt/velanote/sbin", true},
        {"/usr/lib/velanote", true},
        {"/opt/velanote/lib/velanote", true},
        {"/usr/bin/../lib", true},
        {"/usr2/tools", false},
        {"/home/u/binaries", false},
        {"/home/u/velanote/build", false},
        {"/opt/velanote", false},
        {"/home/u/lib", false},
        {"/home/u/lib/tools", false},
        {"/home/u/usr", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ProgramFolder::isInstallFolder(QString::fromUtf8(c.path)), c.install) << c.path;
    }
}
