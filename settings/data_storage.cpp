#include "settings/data_storage.h"

#include "platform/files.h"
#include "platform/format.h"
#include "platform/sysutils.h"
#include "settings/ini_data_storage.h"
#include "settings/settings_modules.h"

#include <new>
#include <stdexcept>

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

// Runs a call on the storage's file. Running out of memory is an error that names the file: never a
// damaged file, nor a bare "std::bad_alloc".
template <class F> auto OnFile(const std::string& fileName, bool saving, F&& call) -> decltype(call())
{
    try {
        return call();
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    const std::string reason(STooLargeForMemory);
    if (saving)
        throw EFCreateError(Format(SFCreateError, VisibleControls(fileName), reason), reason);
    throw EFOpenError(Format(SFOpenError, VisibleControls(fileName), reason), reason);
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
    OnFile(fileName_, true, [&] { Access().UpdateFile(); });
}

void TtscDataStorage::Reload()
{
    OnFile(fileName_, false, [&] { Access().Reload(); });
}

void TtscDataStorage::EraseSection(const std::string& section)
{
    CheckSection(section, "EraseSection");
    OnFile(fileName_, false, [&] { Access().EraseSection(section); });
}

bool TtscDataStorage::ValueExists(const std::string& section, const std::string& item)
{
    CheckItem(section, item, "ValueExists");
    return OnFile(fileName_, false, [&] { return Access().ValueExists(section, item); });
}

void TtscDataStorage::DeleteKey(const std::string& section, const std::string& item)
{
    CheckItem(section, item, "DeleteKey");
    OnFile(fileName_, false, [&] { Access().DeleteKey(section, item); });
}

void TtscDataStorage::ReadData(const std::string& section, const std::string& item, std::string& value)
{
    CheckItem(section, item, "ReadData");
    OnFile(fileName_, false, [&] { Access().ReadData(section, item, value); });
}

std::string TtscDataStorage::ReadValue(const std::string& section, const std::string& item)
{
    std::string value;
    ReadData(section, item, value);
    return value;
}

std::string TtscDataStorage::ReadValuePrefix(const std::string& section, const std::string& item,
                                             std::size_t characters)
{
    CheckItem(section, item, "ReadData");
    std::string value;
    OnFile(fileName_, false, [&] { Access().ReadDataPrefix(section, item, characters, value); });
    return value;
}

void TtscDataStorage::WriteData(const std::string& section, const std::string& item, const std::string& value,
                                bool asCDATA)
{
    CheckItem(section, item, "WriteData");
    OnFile(fileName_, false, [&] { Access().WriteData(section, item, value, asCDATA); });
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
    OnFile(fileName_, false, [&] { Access().ReadAttribute(section, name, value); });
}

} // namespace carlume
