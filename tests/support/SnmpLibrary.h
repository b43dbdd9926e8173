#pragma once

// Starts the SNMP library once per test program, its boots-count file in a folder of the
// program's own, so tests never write into the current folder.
void StartSnmpLibraryOnce();
