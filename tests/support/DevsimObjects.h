#pragma once

#include <QString>
#include <vector>

// One line of tests/integration/devsim_variables.txt: an object the management module reads or
// writes on the device, as an instance OID, or as a table column whose rows vary.
struct ListedObject {
    QString oid;  // the instance, or the column when `column`
    QString name;
    bool column = false;
};

// Every object of the list, in its order; empty when the file cannot be read.
std::vector<ListedObject> ObjectsTheModuleUses();
