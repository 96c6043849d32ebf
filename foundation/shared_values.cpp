#include "foundation/shared_values.h"

#include <cmath>
#include <utility>

namespace carlume {

TtscValuesList::TtscValuesList(std::string name, std::string value)
    : Name(std::move(name))
    , Value(std::move(value))
{
}

TtscValuesList::~TtscValuesList()
{
    // Take the grandchildren over before each child goes, so no destructor ever recurses.
    std::vector<std::unique_ptr<TtscValuesList>> pending = std::move(Children);
    while (!pending.empty()) {
        std::unique_ptr<TtscValuesList> node = std::move(pending.back());
        pending.pop_back();
        for (auto& child : node->Children)
            pending.push_back(std::move(child));
        node->Children.clear();
    }
}

TtscValuesList& TtscValuesList::Add(std::string name, std::string value)
{
    Children.push_back(std::make_unique<TtscValuesList>(std::move(name), std::move(value)));
    return *Children.back();
}

TAboutBoxProperties::TAboutBoxProperties()
    : ProductTitle("Polimark Insurance Rating Software")
    // The maker's contact data is not part of the program; these stand in until it is filled in.
    , Phone("(555) 555-0100")
    , WebSite("www.example.com")
    , Email("support@example.com")
    , Fax("(555) 555-0101")
    , StartYear("1997")
{
    // One reading of the clock, so that the dates and the year agree across midnight of New Year's Eve.
    const TDateTime now = Now();
    AnniversaryDate = std::trunc(now);
    AutoAnniversaryDate = AnniversaryDate;
    EndYear = IntToStr(DateTimeToSystemTime(now).wYear);
}

} // namespace carlume
