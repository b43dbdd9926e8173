#pragma once

#include "snmp/QvException.h"

#include <string>

// A set would have to write a setting whose control holds no value: a combo box or radio group
// without a selection, a check box in its third state or an edit still showing "(NULL)"
// because the device's value never arrived. Writing it would send a value nobody chose (0 for a selector), so the set stops
// before anything is sent and says which setting it is.
class UnreadSettingError : public QvException {
public:
    static constexpr int kCode = -600;
    explicit UnreadSettingError(const std::string& setting)
        : QvException("The setting \"" + setting +
                          "\" could not be read from the device, so nothing was written. Please read the "
                          "page again and retry.",
                      kCode),
          m_setting(setting)
    {
    }
    const std::string& setting() const { return m_setting; }

private:
    std::string m_setting;
};
