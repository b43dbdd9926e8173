#include "snmp/QvSNMPRequest.h"

#include "snmp/DateTimeNumber.h"
#include "snmp/ErrorCatalogue.h"
#include "snmp/Expressions.h"
#include "snmp/IndexCodec.h"
#include "snmp/QvException.h"
#include "snmp/QvNumList.h"
#include "snmp/SnmpSettings.h"
#include "snmp/SnmpTarget.h"
#include "snmp/ValueText.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr int kNoSuchName = -102;
constexpr int kOutOfRangeLine = 13;  // "common.err": "Out of range at index of array or list!"
constexpr int kOutOfRangeCode = -12;

[[noreturn]] void raiseOutOfRange()
{
    throw QvException(Message(MessageTable::Common, kOutOfRangeLine), kOutOfRangeCode);
}

OidValue parseItemOid(const std::string& text)
{
    OidValue oid;
    if (!ParseOid(text, oid)) {
        const MappedStatus invalidOid = MapStatus(-17);
        throw QvException(invalidOid.text, invalidOid.code);
    }
    return oid;
}

bool startsWithColumn(const std::string& received, const std::string& base)
{
    return received.size() > base.size() + 1 && received.compare(0, base.size(), base) == 0
        && received[base.size()] == '.';
}

// x truncated toward zero into the range of a 64-bit integer (0 for a value that is not a number).
long long truncated(double x)
{
    if (!std::isfinite(x))
        return 0;
    x = std::trunc(x);
    if (x >= 9.2e18)
        return std::numeric_limits<long long>::max();
    if (x <= -9.2e18)
        return std::numeric_limits<long long>::min();
    return static_cast<long long>(x);
}

// Restores a list from its copy when the scope ends, also when an exception leaves it.
class ListRestorer {
public:
    explicit ListRestorer(QvSNMPVarList& list) : m_list(list), m_saved(list) {}
    ~ListRestorer() { m_list.Assign(m_saved); }

private:
    QvSNMPVarList& m_list;
    QvSNMPVarList m_saved;
};

} // namespace

QvSNMPRequest::QvSNMPRequest()
    : timeout(static_cast<uint32_t>(DefaultTimeout)), retries(kDefaultRetries)
{
    const SnmpConnection settings = SnmpConnection::current();
    address = settings.device.address;
    port = settings.device.port;
    contextEngineId = settings.scope.contextEngineId;
    contextName = settings.scope.contextName;
    version = settings.security.version;
    readCommunity = settings.security.readCommunity;
    writeCommunity = settings.security.writeCommunity;
    securityModel = settings.security.securityModel;
    securityLevel = settings.security.securityLevel;
    securityName = settings.security.securityName;
    authPassword = settings.security.authPassword;
    privPassword = settings.security.privPassword;
    authProtocol = settings.security.authProtocol;
    privProtocol = settings.security.privProtocol;
}

QvSNMPRequest::~QvSNMPRequest()
{
    alive = false;
    QElapsedTimer waited;
    waited.start();
    SnmpSession& session = SnmpSession::global();
    while (outstanding > 0 && waited.elapsed() < kDestroyWaitMilliseconds) {
        // Let the page's other events run, then wait on the session itself, so completions
        // arrive even when this runs inside the event pump's own tick.
        if (QCoreApplication::instance())
            QCoreApplication::processEvents();
        if (outstanding <= 0)
            break;
        const int left = kDestroyWaitMilliseconds - static_cast<int>(waited.elapsed());
        session.waitForEvents(std::clamp(left, 1, 20));
    }
    for (SnmpSession::Ticket ticket : m_tickets)
        session.forget(ticket);
}

void QvSNMPRequest::Abandon()
{
    SnmpSession& session = SnmpSession::global();
    for (SnmpSession::Ticket ticket : m_tickets)
        session.forget(ticket);
    m_tickets.clear();
    outstanding = 0;
}

SnmpTarget QvSNMPRequest::makeTarget() const
{
    SnmpConnection connection;
    connection.device = {address, port};
    connection.scope = {contextEngineId, contextName};
    connection.security.version = version;
    connection.security.readCommunity = readCommunity;
    connection.security.writeCommunity = writeCommunity;
    connection.security.securityModel = securityModel;
    connection.security.securityLevel = securityLevel;
    connection.security.securityName = securityName;
    connection.security.authPassword = authPassword;
    connection.security.privPassword = privPassword;
    connection.security.authProtocol = authProtocol;
    connection.security.privProtocol = privProtocol;
    return BuildTarget(connection, static_cast<int>(timeout), static_cast<int>(retries));
}

std::string QvSNMPRequest::BaseOid(int32_t item) const
{
    const std::string& oid = list.Item(item).oid;
    return list.instanceSuffix.empty() ? oid : oid + "." + list.instanceSuffix;
}

bool QvSNMPRequest::isLastImpliedKey(int32_t item) const
{
    return item == list.keyCount - 1 && list.IsImplied(item);
}

// ---- value texts and index keys ----

void QvSNMPRequest::ValueFromVb(int32_t i, const SnmpVarBind& vb)
{
    QvSNMPVarItem& item = list.Item(i);
    std::string text = ValueText::FromVarBind(item.syntax, vb);
    if (item.options)
        text = item.options->ValueToText(text);
    item.value = std::move(text);
}

void QvSNMPRequest::ValueToVb(int32_t i, SnmpVarBind& vb)
{
    const QvSNMPVarItem& item = list.Item(i);
    const std::string text = item.options ? item.options->TextToValue(item.value) : item.value;
    OidValue oid = std::move(vb.oid);
    vb = ValueText::ToVarBind(item.syntax, text);
    vb.oid = std::move(oid);
}

std::string QvSNMPRequest::DecodeIndex(int32_t i, const std::string& suffix)
{
    OidValue subIds;
    if (!suffix.empty() && !ParseOid(suffix, subIds))
        RaiseQvSnmp(-514);
    size_t pos = 0;
    QvSNMPVarItem& item = list.Item(i);
    std::string text = IndexCodec::Decode(item.syntax, isLastImpliedKey(i), subIds, pos);
    if (item.options)
        text = item.options->ValueToText(text);
    item.value = std::move(text);
    return OidToText(OidValue(subIds.begin() + static_cast<std::ptrdiff_t>(pos), subIds.end()));
}

std::string QvSNMPRequest::EncodeIndex(int32_t i)
{
    const QvSNMPVarItem& item = list.Item(i);
    const std::string text = item.options ? item.options->TextToValue(item.value) : item.value;
    return IndexCodec::Encode(item.syntax, isLastImpliedKey(i), text);
}

std::string QvSNMPRequest::RowIndex()
{
    std::string index;
    for (int32_t k = 0; k < list.keyCount && k < list.Count(); ++k) {
        if (k)
            index += '.';
        index += EncodeIndex(k);
    }
    return index;
}

void QvSNMPRequest::DecodeRow(const std::string& suffix)
{
    std::string remaining = suffix;
    for (int32_t k = 0; k < list.keyCount; ++k) {
        if (remaining.empty() || k >= list.Count())
            RaiseQvSnmp(-514);
        if (!list.IsReadable(k))
            list.Item(k).currentOid = BaseOid(k) + "." + suffix;
        remaining = DecodeIndex(k, remaining);
    }
}

bool QvSNMPRequest::ColumnEnded(const std::string& base, const std::string& last, const std::string& received)
{
    if (!list.IsTable())
        return false;
    // A "." must follow the base: column 1 of an entry is not continued by its column 10.
    return !(startsWithColumn(received, base) && received != last);
}

bool QvSNMPRequest::ReadResponse(const std::vector<SnmpVarBind>& vbs)
{
    std::string rowSuffix;
    int32_t readable = 0;
    int32_t done = 0;
    size_t j = 0;
    for (int32_t i = 0; i < list.Count(); ++i) {
        if (!list.IsReadable(i))
            continue;
        ++readable;
        static const SnmpVarBind none;
        const SnmpVarBind& vb = j < vbs.size() ? vbs[j] : none;
        ++j;
        const std::string received = OidToText(vb.oid);
        const std::string base = BaseOid(i);
        QvSNMPVarItem& item = list.Item(i);
        if (ColumnEnded(base, item.currentOid, received)) {
            item.value = ValueText::kNotDone;
            // Stay at the last row, so a further get-next ends here again. Without keys
            // there is no row to stay at: keep what was received, which is past the column.
            const std::string row = list.keyCount > 0 ? RowIndex() : std::string();
            item.currentOid = row.empty() ? received : base + "." + row;
            ++done;
            continue;
        }
        ValueFromVb(i, vb);
        item.currentOid = received;
        // The row comes from a column that goes on; an ended one points at another column.
        if (rowSuffix.empty() && received.size() > base.size() + 1)
            rowSuffix = received.substr(base.size() + 1);
    }
    if (done == readable)
        return false;
    if (list.IsTable())
        DecodeRow(rowSuffix);
    for (int32_t i = 0; i < list.Count(); ++i)
        DeriveValue(i, true);
    return list.IsTable();
}

// ---- building exchanges ----

PduKind QvSNMPRequest::getOperation(bool first) const
{
    if (list.kind == kListScalars)
        return PduKind::Get;
    if (list.kind == kListSingleInstances)
        return useGetNext ? PduKind::GetNext : PduKind::Get;
    return PduKind::GetNext;
}

std::vector<SnmpVarBind> QvSNMPRequest::getVarBinds(bool first)
{
    if (!first && !list.IsTable())
        RaiseQvSnmp(-510);
    std::vector<SnmpVarBind> vbs;
    for (int32_t i = 0; i < list.Count(); ++i) {
        if (!list.IsReadable(i))
            continue;
        QvSNMPVarItem& item = list.Item(i);
        SnmpVarBind vb;
        if (first) {
            item.currentOid.clear();
            vb.oid = parseItemOid(list.kind == kListScalars ? BaseOid(i) + ".0" : BaseOid(i));
        } else {
            vb.oid = parseItemOid(item.currentOid);
        }
        vbs.push_back(std::move(vb));
    }
    return vbs;
}

std::vector<SnmpVarBind> QvSNMPRequest::setVarBinds(const std::string& selection,
                                                    const std::vector<std::string>* valueSource)
{
    if (list.kind > kListTableUnlisted)
        RaiseQvSnmp(-515);
    if (!selection.empty()) {
        QvNumList<int> chosen;
        chosen.delimiter = ',';
        chosen.Parse(selection);
        if (valueSource && valueSource->size() < chosen.Count())
            raiseOutOfRange();
        for (int32_t i = 0; i < list.Count(); ++i) {
            QvSNMPVarItem& item = list.Item(i);
            const int at = chosen.IndexOf(i);
            if (at < 0) {
                item.access |= kAccessInvalid;
                continue;
            }
            item.access &= ~kAccessInvalid;
            if (valueSource)
                item.value = (*valueSource)[static_cast<size_t>(at)];
        }
    }
    for (int32_t i = 0; i < list.Count(); ++i)
        DeriveValue(i, false);

    std::vector<SnmpVarBind> vbs;
    const std::string row = list.IsTable() ? RowIndex() : std::string();
    for (int32_t i = 0; i < list.Count(); ++i) {
        if (!list.IsSettable(i) || (list.IsTable() && i < list.keyCount))
            continue;
        SnmpVarBind vb;
        vb.oid = parseItemOid(list.kind == kListScalars ? BaseOid(i) + ".0"
                                  : list.kind == kListSingleInstances ? BaseOid(i)
                                                                      : BaseOid(i) + "." + row);
        ValueToVb(i, vb);
        vbs.push_back(std::move(vb));
    }
    return vbs;
}

std::vector<SnmpVarBind> QvSNMPRequest::bindingsToRead(const SnmpResponse& response,
                                                       const std::vector<SnmpVarBind>& sent)
{
    std::vector<SnmpVarBind> vbs;
    if (response.status == 0)
        vbs = response.vbs;
    for (size_t j = vbs.size(); j < sent.size(); ++j) {
        SnmpVarBind empty;
        empty.oid = sent[j].oid;
        vbs.push_back(std::move(empty));
    }
    return vbs;
}

bool QvSNMPRequest::endOfWalk(const std::vector<SnmpVarBind>& vbs)
{
    // An SNMPv1 agent answers a get-next past its last variable with noSuchName and the
    // bindings as sent: the walk stands where it was.
    size_t j = 0;
    for (int32_t i = 0; i < list.Count(); ++i) {
        if (!list.IsReadable(i))
            continue;
        if (j < vbs.size() && list.Item(i).currentOid == OidToText(vbs[j].oid))
            return true;
        ++j;
    }
    return false;
}

void QvSNMPRequest::report(int code, const std::string& message)
{
    ++errorCount;
    if (!errorCallback)
        return;
    QvSNMPError error;
    error.code = code;
    error.message = message;
    error.errorCount = errorCount;
    errorCallback(error);
}

// ---- operations ----

bool QvSNMPRequest::GetSync(bool first, bool& ok)
{
    if (!alive) {
        ok = false;
        return false;
    }
    if (list.kind > kListTableUnlisted) {
        report(-515, QvSnmpMessage(-515));
        ok = false;
        return false;
    }
    const SnmpTarget target = makeTarget();
    const std::vector<SnmpVarBind> sent = getVarBinds(first);
    const SnmpResponse response = SnmpSession::global().request(target, getOperation(first), sent);
    const MappedStatus mapped = MapStatus(response.status);
    const std::vector<SnmpVarBind> vbs = bindingsToRead(response, sent);

    if (mapped.code == kNoSuchName && list.IsTable() && endOfWalk(vbs))
        return false;
    const bool failed = mapped.code != 0;
    if (failed) {
        report(mapped.code, mapped.text);
        ok = false;
    }
    const bool more = ReadResponse(vbs);
    // After an error no row follows: continuing would ask the same again.
    return more && !failed;
}

bool QvSNMPRequest::SetSync(bool& ok, bool readBack, const std::string& selection,
                            const std::vector<std::string>* valueSource)
{
    if (!alive) {
        ok = false;
        return false;
    }
    const SnmpTarget target = makeTarget();
    std::vector<SnmpVarBind> sent;
    {
        // Selection marks, values from the source and derived values live only in the PDU.
        ListRestorer restorer(list);
        sent = setVarBinds(selection, valueSource);
    }
    const SnmpResponse response = SnmpSession::global().request(target, PduKind::Set, sent);
    const MappedStatus mapped = MapStatus(response.status);
    if (mapped.code != 0) {
        report(mapped.code, mapped.text);
        ok = false;
        return false;
    }
    return readBack && ReadResponse(response.vbs);
}

void QvSNMPRequest::GetAsync(Completion callback, void* callbackData, bool first)
{
    if (!alive)
        return;
    if (list.kind > kListTableUnlisted) {
        report(-515, QvSnmpMessage(-515));
        return;
    }
    const SnmpTarget target = makeTarget();
    Exchange exchange;
    exchange.callback = std::move(callback);
    exchange.callbackData = callbackData;
    exchange.isGet = true;
    exchange.processValues = true;
    exchange.sent = getVarBinds(first);
    sendNotifying(std::move(exchange), target, getOperation(first));
}

void QvSNMPRequest::SetAsync(Completion callback, void* callbackData, bool readBack, const std::string& selection,
                             const std::vector<std::string>* valueSource)
{
    if (!alive)
        return;
    const SnmpTarget target = makeTarget();
    Exchange exchange;
    exchange.callback = std::move(callback);
    exchange.callbackData = callbackData;
    exchange.isGet = false;
    exchange.processValues = readBack;
    {
        ListRestorer restorer(list);
        exchange.sent = setVarBinds(selection, valueSource);
    }
    sendNotifying(std::move(exchange), target, PduKind::Set);
}

void QvSNMPRequest::sendNotifying(Exchange exchange, const SnmpTarget& target, PduKind kind)
{
    exchange.agentAddress = target.address;
    exchange.agentPort = target.port;
    auto shared = std::make_shared<Exchange>(std::move(exchange));
    SnmpSession::Ticket ticket = 0;
    const int status = SnmpSession::global().send(
        target, kind, shared->sent, [this, shared](const SnmpResponse& response) { complete(shared, response); },
        &ticket);
    if (status != 0) {
        // Nothing is in flight: the completion will never come, so nothing is outstanding.
        const MappedStatus mapped = MapStatus(status);
        report(mapped.code, mapped.text);
        return;
    }
    shared->ticket = ticket;
    m_tickets.insert(ticket);
    ++outstanding;
}

void QvSNMPRequest::complete(const std::shared_ptr<Exchange>& exchange, const SnmpResponse& response)
{
    // Counted off first: the callback may start the next exchange or destroy this request.
    --outstanding;
    m_tickets.erase(exchange->ticket);

    const MappedStatus mapped = MapStatus(response.status);
    QvSNMPError record;
    record.code = mapped.code;
    record.message = mapped.text;
    record.errorIndex = response.errorIndex;
    record.agentAddress = exchange->agentAddress;
    record.agentPort = static_cast<int16_t>(exchange->agentPort);
    record.finished = true;
    try {
        const std::vector<SnmpVarBind> vbs = bindingsToRead(response, exchange->sent);
        if (mapped.code == kNoSuchName && exchange->isGet && list.IsTable()) {
            if (endOfWalk(vbs)) {
                const MappedStatus success = MapStatus(0);
                record.code = success.code;
                record.message = success.text;
            } else {
                ReadResponse(vbs);
            }
        } else if (mapped.code == 0 && exchange->processValues) {
            record.finished = !ReadResponse(vbs);
        }
    } catch (const QvException& error) {
        // A structural error while reading the answer ends the exchange with that error.
        record.code = error.code();
        record.message = error.what();
        record.finished = true;
    }
    if (record.code != 0) {
        ++errorCount;
        record.finished = true;
    }
    record.errorCount = errorCount;
    if (exchange->callback)
        exchange->callback(exchange->callbackData, record, list);
}

// ---- expressions ----

std::string QvSNMPRequest::SubstituteValues(const std::string& expression, bool quoteTexts, const std::string& marker)
{
    if (marker.empty())
        return expression;
    std::string text = expression;
    size_t from = 0;
    for (size_t at = text.find(marker[0], from); at != std::string::npos; at = text.find(marker[0], from)) {
        size_t end = at + 1;
        while (end < text.size() && text[end] >= '0' && text[end] <= '9')
            ++end;
        const std::string digits = text.substr(at + 1, end - at - 1);
        text.erase(at, end - at);
        if (digits.size() > 9 || (digits.empty() ? 0 : std::stol(digits)) >= list.Count())
            raiseOutOfRange();
        const int32_t n = digits.empty() ? 0 : static_cast<int32_t>(std::stol(digits));
        const QvSNMPVarItem& item = list.Item(n);
        const std::string value = item.options ? item.options->TextToValue(item.value) : item.value;
        if (value == ValueText::kNull)
            RaiseQvSnmp(-512);
        std::string inserted;
        switch (item.syntax) {
        case kSyntaxBoolean:
        case kSyntaxBool8:
        case kSyntaxBool16:
            inserted = value == "true" ? "1" : "0";
            break;
        case kSyntaxInteger:
        case kSyntaxCounter:
        case kSyntaxGauge:
        case kSyntaxCounter64:
        case kSyntaxUInteger:
        case kSyntaxDouble:
        case kSyntaxInt8:
        case kSyntaxUInt8:
        case kSyntaxInt16:
        case kSyntaxUInt16:
            inserted = value;
            break;
        case kSyntaxTimeTicks: {
            const auto ticks = ValueText::ParseTimeTicks(value);
            if (!ticks)
                RaiseQvSnmp(-513);
            inserted = std::to_string(*ticks);
            break;
        }
        case kSyntaxBcDateTime: {
            const auto number = DateTimeNumber::Parse(value);
            if (!number)
                RaiseQvSnmp(-513);
            inserted = ValueText::Real(*number);
            break;
        }
        default:
            if (!quoteTexts)
                RaiseQvSnmp(-513);
            inserted = "\"" + value + "\"";
            break;
        }
        text.insert(at, inserted);
        // Go on after the inserted value: a value holding the marker is not read again.
        from = at + inserted.size();
    }
    return text;
}

void QvSNMPRequest::DeriveValue(int32_t i, bool afterGet)
{
    QvSNMPVarItem& item = list.Item(i);
    const std::optional<std::string>& expression = afterGet ? item.getExpression : item.setExpression;
    if (!expression)
        return;
    const double x = Expressions::EvaluateArithmetic(SubstituteValues(*expression, false, "$"));
    std::string value;
    switch (item.syntax) {
    case kSyntaxBoolean:
        value = x != 0 ? "true" : "false";
        break;
    case kSyntaxInteger:
        value = std::to_string(static_cast<int32_t>(truncated(x)));
        break;
    case kSyntaxCounter:
    case kSyntaxGauge:
    case kSyntaxUInteger:
        value = std::to_string(static_cast<uint32_t>(truncated(x)));
        break;
    case kSyntaxTimeTicks:
        value = ValueText::TimeTicks(static_cast<uint32_t>(truncated(x)));
        break;
    case kSyntaxCounter64:
        value = std::to_string(!std::isfinite(x) || x <= 0 ? 0ULL
                                   : x >= 1.8446744073709552e19 ? std::numeric_limits<unsigned long long>::max()
                                                                : static_cast<unsigned long long>(x));
        break;
    case kSyntaxDouble:
        value = ValueText::Real(x);
        break;
    case kSyntaxBcDateTime:
        value = DateTimeNumber::Format(x);
        break;
    default:
        RaiseQvSnmp(-513);
    }
    item.value = item.options ? item.options->ValueToText(value) : value;
}

bool QvSNMPRequest::Accepts(const std::string& expression)
{
    if (expression.empty())
        return true;
    return Expressions::EvaluateLogical(SubstituteValues(expression, true, "$"));
}
