// The desktop program's own files that say what the user allowed: private whatever the umask.

#include "app/CSharedActionApprovals.h"
#include "core/CDateEntry.h"

#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>

#include <sys/stat.h>

namespace dv {

class PrivateFilesTest : public QObject {
    Q_OBJECT
private slots:
    void approvalsArePrivate() {
        QTemporaryDir folder;
        const std::filesystem::path file =
            std::filesystem::path(folder.path().toStdString()) / "shared-actions.json";
        const mode_t umask = ::umask(0);
        {
            CDateEntry event(CDateTime(2030, 3, 2, 9, 0, 0));
            DateData data = event.GetData();
            data.Action = 2; // run a command
            data.CmdLine = "/bin/true";
            event.AssignData(data);
            CSharedActionApprovals approvals(file);
            approvals.Record(event.GetData(), true);
        }
        ::umask(umask);
        QVERIFY(std::filesystem::exists(file));
        QCOMPARE(std::filesystem::status(file).permissions() & std::filesystem::perms::all,
                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    }
};

} // namespace dv

QTEST_GUILESS_MAIN(dv::PrivateFilesTest)
#include "PrivateFilesTest.moc"
