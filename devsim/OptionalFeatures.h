#pragma once

#include "Oid.h"

#include <string>
#include <vector>

// Radio features that not every firmware of the device has. A device started without one
// does not serve its objects on either radio, so the module's probing read of the feature
// fails (see devsim/README.md, "Optional features").

// The names --without takes: "xr", "autoscan", "shortpreamble", "wmm", "antenna".
const std::vector<std::string>& OptionalFeatureNames();
bool IsOptionalFeature(const std::string& name);
// The instances (both radios) of a feature's objects.
std::vector<Oid> OptionalFeatureInstances(const std::string& name);
