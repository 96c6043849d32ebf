#pragma once

// Value objects that cross subsystem borders: the name/value tree the settings storage fills, and the
// texts the lookup window hands to the About box.

#include "platform/date_time.h"
#include "platform/sysutils.h"

#include <memory>
#include <string>
#include <vector>

namespace carlume {

/// A name/value node that owns its children; destroying a node destroys its whole subtree.
class TtscValuesList : public TObject {
public:
    /// A node with empty name and value and no children.
    TtscValuesList() = default;
    /// A node with this name and value and no children.
    TtscValuesList(std::string name, std::string value);
    /// Destroys the subtree without recursing, so that a very deep tree cannot exhaust the stack.
    ~TtscValuesList() override;
    TtscValuesList(const TtscValuesList&) = delete;
    TtscValuesList& operator=(const TtscValuesList&) = delete;

    /// Appends a child with this name and value and returns it; the parent keeps owning it.
    TtscValuesList& Add(std::string name, std::string value);

    std::string Name;
    std::string Value;
    /// The children in the order they were added.
    std::vector<std::unique_ptr<TtscValuesList>> Children;
};

/// The texts and dates the About box and the installation-details window show.
class TAboutBoxProperties : public TObject {
public:
    /// The product's defaults; both anniversary dates are today and `EndYear` is the current year, from the
    /// process-wide clock.
    TAboutBoxProperties();

    std::string UserName;
    std::string ProductTitle;
    std::string Phone;
    std::string WebSite;
    TDateTime AnniversaryDate = 0;
    TDateTime AutoAnniversaryDate = 0;
    std::string BuildNumber;
    std::string EndYear;
    std::string Email;
    std::string Version;
    std::string InstallLocation;
    std::string MaintenanceFolder;
    std::string Fax;
    std::string StartYear;
    std::string LogoFile;
    std::string CopyrightText;
};

} // namespace carlume
