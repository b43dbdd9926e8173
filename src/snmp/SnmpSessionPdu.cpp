#include "snmp/SnmpSessionPdu.h"

#include "snmp/SnmpSession.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kStatusUnsupportedAuth = 1412;
constexpr int kStatusUnsupportedPriv = 1413;

// Text fields of a PDU are freed by the engine, so they are handed over as malloc'ed copies.
u_char* mallocCopy(const std::string& text)
{
    auto* copy = static_cast<u_char*>(std::malloc(text.size() ? text.size() : 1));
    if (copy && !text.empty())
        std::memcpy(copy, text.data(), text.size());
    return copy;
}

const oid* authProtocolOid(int code, size_t& length)
{
    length = USM_AUTH_PROTO_SHA_LEN;
    switch (code) {
    case kAuthMD5: length = USM_AUTH_PROTO_MD5_LEN; return usmHMACMD5AuthProtocol;
    case kAuthSHA: return usmHMACSHA1AuthProtocol;
    case kAuthSHA224: return usmHMAC128SHA224AuthProtocol;
    case kAuthSHA256: return usmHMAC192SHA256AuthProtocol;
    case kAuthSHA384: return usmHMAC256SHA384AuthProtocol;
    case kAuthSHA512: return usmHMAC384SHA512AuthProtocol;
    default: return nullptr;
    }
}

const oid* privProtocolOid(int code, size_t& length)
{
    switch (code) {
    case kPrivDES: length = USM_PRIV_PROTO_DES_LEN; return usmDESPrivProtocol;
    case kPrivAES128: length = USM_PRIV_PROTO_AES_LEN; return usmAESPrivProtocol;
    default: length = 0; return nullptr;
    }
}


} // namespace

// The pieces of an engine session's configuration that must outlive snmp_sess_open's copy.
int ConfigureEngineUser(netsnmp_session& s, const SnmpTarget& t)
{
    s.securityModel = USM_SEC_MODEL_NUMBER;
    s.securityName = const_cast<char*>(t.securityName.c_str());
    s.securityNameLen = t.securityName.size();
    s.securityLevel = t.securityLevel;
    if (t.securityLevel >= kAuthNoPriv) {
        size_t protoLength = 0;
        const oid* proto = authProtocolOid(t.authProtocol, protoLength);
        if (!proto)
            return kStatusUnsupportedAuth;
        s.securityAuthProto = snmp_duplicate_objid(proto, protoLength);
        s.securityAuthProtoLen = protoLength;
        s.securityAuthKeyLen = USM_AUTH_KU_LEN;
        if (generate_Ku(proto, protoLength, reinterpret_cast<const u_char*>(t.authPassword.data()),
                        t.authPassword.size(), s.securityAuthKey, &s.securityAuthKeyLen)
            != SNMPERR_SUCCESS)
            return 1407;
    }
    if (t.securityLevel >= kAuthPriv) {
        size_t privLength = 0;
        const oid* priv = privProtocolOid(t.privProtocol, privLength);
        if (!priv)
            return kStatusUnsupportedPriv;
        s.securityPrivProto = snmp_duplicate_objid(priv, privLength);
        s.securityPrivProtoLen = privLength;
        s.securityPrivKeyLen = USM_PRIV_KU_LEN;
        if (generate_Ku(s.securityAuthProto, s.securityAuthProtoLen,
                        reinterpret_cast<const u_char*>(t.privPassword.data()), t.privPassword.size(),
                        s.securityPrivKey, &s.securityPrivKeyLen)
            != SNMPERR_SUCCESS)
            return 1405;
    }
    return 0;
}

netsnmp_pdu* BuildEnginePdu(const SnmpTarget& t, PduKind kind, const std::vector<SnmpVarBind>& vbs,
                            int maxRepetitions)
{
    const int command = kind == PduKind::Get ? SNMP_MSG_GET
        : kind == PduKind::GetNext           ? SNMP_MSG_GETNEXT
        : kind == PduKind::GetBulk           ? SNMP_MSG_GETBULK
                                             : SNMP_MSG_SET;
    netsnmp_pdu* pdu = snmp_pdu_create(command);
    if (kind == PduKind::GetBulk) {
        pdu->non_repeaters = 0;
        pdu->max_repetitions = std::max(maxRepetitions, 1);
    }
    if (t.isV3()) {
        pdu->securityLevel = t.securityLevel;
        pdu->contextName = reinterpret_cast<char*>(mallocCopy(t.contextName));
        pdu->contextNameLen = t.contextName.size();
        if (!t.contextEngineId.empty()) {
            pdu->contextEngineID = mallocCopy(t.contextEngineId);
            pdu->contextEngineIDLen = t.contextEngineId.size();
        }
    } else {
        const std::string& community = kind == PduKind::Set ? t.writeCommunity : t.readCommunity;
        pdu->community = mallocCopy(community);
        pdu->community_len = community.size();
    }
    for (const SnmpVarBind& vb : vbs) {
        std::vector<oid> name(vb.oid.begin(), vb.oid.end());
        if (kind != PduKind::Set) {
            snmp_add_null_var(pdu, name.data(), name.size());
            continue;
        }
        switch (vb.type) {
        case SnmpType::Integer: {
            long value = static_cast<long>(vb.integer);
            snmp_pdu_add_variable(pdu, name.data(), name.size(), ASN_INTEGER, &value, sizeof value);
            break;
        }
        case SnmpType::Counter32:
        case SnmpType::Gauge32:
        case SnmpType::TimeTicks: {
            u_long value = static_cast<u_long>(vb.integer) & 0xFFFFFFFFUL;
            snmp_pdu_add_variable(pdu, name.data(), name.size(), vb.type, &value, sizeof value);
            break;
        }
        case SnmpType::Counter64: {
            counter64 value{};
            value.high = static_cast<u_long>(vb.counter64 >> 32);
            value.low = static_cast<u_long>(vb.counter64 & 0xFFFFFFFFULL);
            snmp_pdu_add_variable(pdu, name.data(), name.size(), ASN_COUNTER64, &value, sizeof value);
            break;
        }
        case SnmpType::ObjectId: {
            std::vector<oid> value(vb.oidValue.begin(), vb.oidValue.end());
            snmp_pdu_add_variable(pdu, name.data(), name.size(), ASN_OBJECT_ID, value.data(),
                                  value.size() * sizeof(oid));
            break;
        }
        case SnmpType::Null:
            snmp_pdu_add_variable(pdu, name.data(), name.size(), ASN_NULL, nullptr, 0);
            break;
        default:  // octet string, IP address, opaque: bytes as given
            snmp_pdu_add_variable(pdu, name.data(), name.size(), vb.type, vb.bytes.data(), vb.bytes.size());
            break;
        }
    }
    return pdu;
}

namespace {

SnmpVarBind convertVariable(const netsnmp_variable_list& v)
{
    SnmpVarBind vb;
    vb.oid.assign(v.name, v.name + v.name_length);
    vb.type = v.type;
    switch (v.type) {
    case ASN_INTEGER:
        vb.integer = *v.val.integer;
        break;
    case ASN_COUNTER:
    case ASN_GAUGE:
    case ASN_TIMETICKS:
        vb.integer = static_cast<int64_t>(static_cast<u_long>(*v.val.integer) & 0xFFFFFFFFUL);
        break;
    case ASN_COUNTER64:
        vb.counter64 = (static_cast<uint64_t>(v.val.counter64->high) << 32)
            | (v.val.counter64->low & 0xFFFFFFFFUL);
        break;
    case ASN_OBJECT_ID:
        vb.oidValue.assign(v.val.objid, v.val.objid + v.val_len / sizeof(oid));
        break;
    case ASN_OCTET_STR:
    case ASN_IPADDRESS:
    case ASN_OPAQUE:
        vb.bytes.assign(reinterpret_cast<const char*>(v.val.string), v.val_len);
        break;
    default:
        break;
    }
    return vb;
}

} // namespace

SnmpResponse ConvertEngineResponse(netsnmp_pdu* pdu)
{
    SnmpResponse response;
    if (pdu->command == SNMP_MSG_REPORT) {
        response.status = SnmpSession::statusFromEngineError(snmpv3_get_report_type(pdu));
        return response;
    }
    response.status = static_cast<int>(pdu->errstat);
    response.errorIndex = static_cast<int>(pdu->errindex);
    for (netsnmp_variable_list* v = pdu->variables; v; v = v->next_variable)
        response.vbs.push_back(convertVariable(*v));
    return response;
}

