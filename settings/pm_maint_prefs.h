#pragma once

// The maintenance tool's preferences, read in one go from the three-scope settings "PMMaint" in a folder.
// Building the record also writes some values back to the all-users file, resets a roll-backup path that
// names no folder, and may create the roll-backup folder.

#include <cstdint>
#include <string>

namespace carlume {

class TPMMaint_Prefs {
public:
    /// Reads the preferences of the tool in `folder`; errors of the settings files pass to the caller.
    explicit TPMMaint_Prefs(const std::string& folder);

    std::string Folder;
    std::string RollBackupPath;
    std::string UserBackupPath;
    std::string UserBackupFile;
    bool BackupEnabled = true;
    std::int32_t Capacity = 30;
    std::string LatestBackupDate;
    std::string LatestDBMaintenanceDate;
    std::string EmailAddress;
    std::string LatestRestoreDate;
    std::string LatestRestoreUser;
    bool AutoCleanupEnabled = true;
    std::string LatestCleanupDate;
    std::int32_t StructSize = 0;
    bool ViewRTRXml = false;
    bool TraceBackupEnabled = false;
};

} // namespace carlume
