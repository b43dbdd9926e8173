#pragma once

#include <cstdint>

class QvOptionList;

// How a variable's value travels and is shown. Codes 193..198 exist only as keywords: a
// request refuses them, except that expressions read them as booleans or plain numbers.
enum SyntaxCode : int32_t {
    kSyntaxBoolean = 1,
    kSyntaxInteger = 2,
    kSyntaxBitString = 3,
    kSyntaxOctetString = 4,
    kSyntaxNull = 5,
    kSyntaxObjectId = 6,
    kSyntaxIpAddress = 64,
    kSyntaxCounter = 65,
    kSyntaxGauge = 66,
    kSyntaxTimeTicks = 67,
    kSyntaxOpaque = 68,
    kSyntaxNsapAddress = 69,
    kSyntaxCounter64 = 70,
    kSyntaxUInteger = 71,
    kSyntaxDouble = 72,
    kSyntaxMacAddress = 73,
    kSyntaxDateTime = 74,
    kSyntaxBcDateTime = 75,
    kSyntaxDisplayString = 76,
    kSyntaxBool8 = 193,
    kSyntaxInt8 = 194,
    kSyntaxUInt8 = 195,
    kSyntaxBool16 = 196,
    kSyntaxInt16 = 197,
    kSyntaxUInt16 = 198,
};

// Access bits of a variable. A page chooses what one get or set covers by switching items
// between readwrite, readonly and invalid.
enum AccessCode : int32_t {
    kAccessNotAccessible = 1,  // a table's index column: its value comes from the row's instance
    kAccessReadOnly = 2,
    kAccessWriteOnly = 4,
    kAccessReadWrite = 6,
    kAccessDerived = 8,
    kAccessHidden = 16,
    kAccessInvalid = 32,   // left out of every request
    kAccessImplied = 64,   // the last index key has no length sub-identifier
};

// What a variable list holds.
enum ListKind : uint8_t {
    kListScalars = 0,          // "SVT_SV": OIDs get ".0"
    kListSingleInstances = 1,  // "MVT_SV": OIDs already name the instance
    kListTable = 2,            // "MVT_FMV": rows read with get-next, written at column + index
    kListTableUnlisted = 3,    // "MVT_UMV": as a table for requests
};

// One row of a page's static descriptor table; a table ends at the first row whose oid is null.
struct VariableDescriptor {
    const char* oid;  // dotted, without instance ("1.3.6.1.4.1.32473.10.37.24.4.4")
    const char* name;
    int32_t syntax;   // SyntaxCode
    int32_t access;   // AccessCode bits
    const QvOptionList* options = nullptr;  // shared, not owned
    const char* getExpression = nullptr;    // derives the value after each received row
    const char* setExpression = nullptr;    // derives the value before a set
    const char* extraText = nullptr;        // carried along, not interpreted
    const char* initialValue = nullptr;
    const char* initialOid = nullptr;
};
