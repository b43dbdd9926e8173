#include "fleet/StateFolder.h"

#include "fleet/FolderCheck.h"

#include <QStandardPaths>

#include <cstdlib>
#include <vector>

bool ChooseStateFolder(std::string& folder, std::string& error)
{
    std::vector<std::string> candidates{
        QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation).toStdString()};
    // Read here, not through Qt, which would make up a folder in /tmp when it is not set.
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime)
        candidates.push_back(std::string(runtime) + "/vta-fleet");
    std::string tried;
    for (const std::string& candidate : candidates) {
        std::string why;
        if (!candidate.empty() && FolderTakesFiles(candidate, why)) {
            folder = candidate;
            return true;
        }
        tried += (tried.empty() ? "" : ", ") + candidate + " (" + why + ")";
    }
    error = "cannot keep the SNMP engine boots counter in " + tried;
    if (candidates.size() == 1)
        error += "; XDG_RUNTIME_DIR, the fallback, is not set";
    return false;
}
