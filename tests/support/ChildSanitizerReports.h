#pragma once

// Under scripts/test --sanitize, the programs a test starts (vta-devsim, vta-fleet,
// vta-module, vta-tftp-serve) are sanitized too, but their reports would end with them
// unseen: a test often stops a child and looks at nothing but its answers. These send each
// child's reports into a folder of this test process's own and fail the test when one is
// there. Without VTA_SANITIZER_REPORTS in the environment both do nothing.

// Before any child starts: the children's sanitizers write their reports under
// $VTA_SANITIZER_REPORTS/<this process id>/.
void SendChildSanitizerReportsToOwnFolder();

// After the tests: prints every report a child left and returns how many there were.
int ChildSanitizerReports();
