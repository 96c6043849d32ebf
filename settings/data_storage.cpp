#include "settings/data_storage.h"

#include "platform/files.h"
#include "platform/format.h"
#include "platform/sysutils.h"
#include "settings/ini_data_storage.h"
#include "settings/settings_modules.h"

namespace carlume {
namespace {

void CheckSection(const std::string& section, std::string_view operation)
{
    if (section.empty())
        throw EtscDataStorageError(Format("Data path location not specified on %s", operation));
}

void CheckItem(const std::string& section, const std::string& item, std::string_view operation)
{
    CheckSection(section, operation);
    if (item.empty())
        throw EtscDataStorageError(Format("Data item not specified on %s", operation));
}

} // namespace

TtscDataStorage::TtscDataStorage() = default;
TtscDataStorage::~TtscDataStorage() = default;

void TtscDataStorage::SetFileName(const std::string& fileName)
{
    // Exact comparison: on this system a name in other letter case is another file.
    if (fileName == fileName_)
        return;
    fileName_ = fileName;
    access_.reset();
}

void TtscDataStorage::SetStorageType(std::uint8_t storageType)
{
    if (storageType == storageType_)
        return;
    storageType_ = storageType;
    access_.reset();
}

TtscDataStorageAccess& TtscDataStorage::Access()
{
    if (access_)
        return *access_;
    if (storageType_ != 1 && storageType_ != 2)
        throw EtscDataStorageError("Storage type not implemented.  Cannot create storage access object.");
    if (fileName_.empty())
        throw EtscDataStorageError("Storage name undefined.  Cannot create storage access.");
    if (!FileExists(fileName_))
        throw EtscDataStorageError(
            Format("Storage name invalid (%s).  Cannot load storage data.", VisibleControls(fileName_)));
    if (storageType_ == 1)
        access_ = std::make_unique<TtscINIDataStorageAccess>(fileName_);
    else
        access_ = XmlStorageModule().CreateStorage(fileName_);
    return *access_;
}

void TtscDataStorage::UpdateFile()
{
    Access().UpdateFile();
}

void TtscDataStorage::Reload()
{
    Access().Reload();
}

void TtscDataStorage::EraseSection(const std::string& section)
{
    CheckSection(section, "EraseSection");
    Access().EraseSection(section);
}

bool TtscDataStorage::ValueExists(const std::string& section, const std::string& item)
{
    CheckItem(section, item, "ValueExists");
    return Access().ValueExists(section, item);
}

void TtscDataStorage::DeleteKey(const std::string& section, const std::string& item)
{
    CheckItem(section, item, "DeleteKey");
    Access().DeleteKey(section, item);
}

void TtscDataStorage::ReadData(const std::string& section, const std::string& item, std::string& value)
{
    CheckItem(section, item, "ReadData");
    Access().ReadData(section, item, value);
}

std::string TtscDataStorage::ReadValue(const std::string& section, const std::string& item)
{
    std::string value;
    ReadData(section, item, value);
    return value;
}

void TtscDataStorage::WriteData(const std::string& section, const std::string& item, const std::string& value,
                                bool asCDATA)
{
    CheckItem(section, item, "WriteData");
    Access().WriteData(section, item, value, asCDATA);
}

void TtscDataStorage::WriteValue(const std::string& section, const std::string& item,
                                 const std::string& value)
{
    WriteData(section, item, value, false);
}

void TtscDataStorage::WriteCDATA(const std::string& section, const std::string& item,
                                 const std::string& value)
{
    WriteData(section, item, value, true);
}

void TtscDataStorage::ReadAttribute(const std::string& section, const std::string& name, std::string& value)
{
    CheckItem(section, name, "ReadAttribute");
    Access().ReadAttribute(section, name, value);
}

} // namespace carlume
