#include "settings/pm_maint_prefs.h"

#include "foundation/string_helpers.h"
#include "platform/files.h"
#include "settings/settings_obj.h"

namespace carlume {

TPMMaint_Prefs::TPMMaint_Prefs(const std::string& folder)
    : Folder(folder)
{
    AddBackslash(Folder);
    const std::string defaultRollBackup = Folder + "RollBackup";
    {
        TSettingsObj settings;
        settings.SetFileName(Folder + "PMMaint");
        const std::string backup = "TSCSettings/Backup";

        BackupEnabled = settings.ReadBool(backup, "Enabled", true);
        TraceBackupEnabled = settings.ReadBool("TSCSettings/TraceBackup", "Enabled", false);
        settings.WriteBool("TSCSettings/TraceBackup", "Enabled", TraceBackupEnabled, ssAllUsers);

        RollBackupPath = settings.ReadString(backup, "RollBackupPath", defaultRollBackup);
        LatestBackupDate = settings.ReadString(backup, "LatestBackupDate", "");
        UserBackupFile = settings.ReadString(backup, "UserBackupFile", "");
        UserBackupPath = settings.ReadString(backup, "UserBackupPath", "");
        Capacity = settings.ReadInteger(backup, "Capacity", 30);
        settings.WriteInteger(backup, "Capacity", Capacity, ssAllUsers);
        settings.WriteBool(backup, "Enabled", BackupEnabled, ssAllUsers);

        EmailAddress = settings.ReadString("TSCSettings/Email", "EmailAddress", "");
        AutoCleanupEnabled = settings.ReadBool("TSCSettings/AutoCleanup", "Enabled", true);
        LatestCleanupDate = settings.ReadString("TSCSettings/AutoCleanup", "LatestCleanupDate", "");
        settings.WriteBool("TSCSettings/AutoCleanup", "Enabled", AutoCleanupEnabled, ssAllUsers);

        LatestDBMaintenanceDate =
            settings.ReadString("TSCSettings/DBMaintenance", "LatestDBMaintenanceDate", "");
        LatestRestoreDate = settings.ReadString("TSCSettings/Restore", "LatestRestoreDate", "");
        LatestRestoreUser = settings.ReadString("TSCSettings/Restore", "LatestRestoreUser", "");
        StructSize = settings.ReadInteger("TSCSettings/Database", "StructSize", 0);

        if (RollBackupPath == defaultRollBackup || !DirectoryExists(RollBackupPath)) {
            RollBackupPath = defaultRollBackup;
            settings.EraseSectionByScope(backup + "/RollBackupPath", ssAllUsers);
        }
        settings.Save();
        ViewRTRXml = settings.ReadBool("TSCSettings/", "ViewRTRXml", false);
    }
    if (BackupEnabled && !DirectoryExists(RollBackupPath) && !ForceDirectories(RollBackupPath))
        throw EFCreateError(Format("Unable to create directory %s", VisibleControls(RollBackupPath)));
}

} // namespace carlume
