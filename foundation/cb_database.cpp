#include "foundation/cb_database.h"

#include <limits>
#include <memory>

namespace carlume {
namespace {

std::int32_t KeyOf(const TObject* item)
{
    const auto* keyed = dynamic_cast<const TCBItem*>(item);
    return keyed != nullptr ? keyed->Key() : std::numeric_limits<std::int32_t>::min();
}

std::unique_ptr<TCBDatabase>& TheDatabase()
{
    static std::unique_ptr<TCBDatabase> database;
    return database;
}

} // namespace

TCBDatabase::TCBDatabase()
{
    itemList_.Compare = &TCBDatabase::CompareKeys;
    Init();
}

TCBDatabase::~TCBDatabase()
{
    for (int i = itemList_.Count() - 1; i >= 0; --i)
        delete itemList_.Items(i);
    itemList_.Clear();
    if (initialised_)
        code4initUndo(handle_);
}

int TCBDatabase::CompareKeys(const TObject* item1, const TObject* item2)
{
    const std::int32_t key1 = KeyOf(item1);
    const std::int32_t key2 = KeyOf(item2);
    if (key1 < key2)
        return -1;
    return key2 < key1 ? 1 : 0;
}

void TCBDatabase::Init()
{
    initialised_ = false;
    handle_ = code4initP();
    code4singleOpen(handle_, 0);
    code4lockAttempts(handle_, 5);
    initialised_ = true;
    AfterInit();
}

TCBDatabase& GetCBDatabase()
{
    auto& database = TheDatabase();
    if (!database)
        database = std::make_unique<TCBDatabase>();
    return *database;
}

void ReleaseCBDatabase()
{
    TheDatabase().reset();
}

} // namespace carlume
