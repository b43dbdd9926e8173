#pragma once

#include "Mib.h"

#include <string>
#include <vector>

// The configuration file a device stores over TFTP, kept between transfers. Building it is
// most of what a backup costs the simulator, and a site backed up again and again mostly
// finds it unchanged; so the text is built again only when one of the values it shows
// differs from the ones it was built from, however the store was changed.
class ConfigurationFile {
public:
    const std::string& text(const MibStore& store);

private:
    // What the file shows of one variable.
    struct Shown {
        Oid instance;
        const VariableInfo* info;
        long long number;
        std::string bytes;
        Oid objectId;
    };

    bool unchanged(const MibStore& store) const;

    std::vector<Shown> m_shown;
    std::string m_text;
    bool m_built = false;
};
