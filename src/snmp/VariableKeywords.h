#pragma once

#include "snmp/QvOptionList.h"

// The keyword lists of list kinds, syntaxes and access bits, so a code can be turned into
// its keyword and back ("integer" <-> 2). Built on first use, alive until the process ends.
const QvOptionList& ListKindKeywords();
const QvOptionList& SyntaxKeywords();
const QvOptionList& AccessKeywords();
