#include "snmp/QvSNMPRequest.h"

#include "snmp/ErrorCatalogue.h"
#include "platform/ExchangeWait.h"
#include "snmp/IndexCodec.h"
#include "snmp/QvException.h"
#include "snmp/QvNumList.h"
#include "snmp/SnmpSettings.h"
#include "snmp/SnmpTarget.h"
#include "snmp/ValueText.h"
#include "snmp/WalkError.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>

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

// Restores a list from its copy when the scope ends, also when an exception leaves it.
class ListRestorer {
public:
    explicit ListRestorer(QvSNMPVarList& list) : m_list(list), m_saved(list) {}
    ~ListRestorer() { m_list.Assign(m_saved); }

private:
    QvSNMPVarList& m_list;
    QvSNMPVarList m_saved;
};

// The wait of the request's waiting exchange, where Abandon finds it, for as long as it runs.
class WaitSlot {
public:
    explicit WaitSlot(ExchangeWait*& slot) : m_slot(slot), m_previous(slot) { slot = &m_wait; }
    ~WaitSlot() { m_slot = m_previous; }

private:
    ExchangeWait m_wait;
    ExchangeWait*& m_slot;
    ExchangeWait* m_previous;
};

} // namespace

QvSNMPRequest::QvSNMPRequest()
    : timeout(static_cast<uint32_t>(DefaultTimeout)), retries(kDefaultRetries)
{
    const SnmpConnection settings = SnmpConnection::current();
    address = settings.device.address;
    port = settings.device.port;
    useGetBulk = settings.device.getBulk;
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
    if (m_wait)
        m_wait->End();
    SnmpSession& session = SnmpSession::global();
    for (SnmpSession::Ticket ticket : m_tickets)
        session.forget(ticket);
    m_tickets.clear();
    outstanding = 0;
}

void QvSNMPRequest::ReleaseSession() { SnmpSession::global().release(makeTarget()); }

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
    if (first)
        m_walkRows = 0;
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
    if (first)
        m_walk.Restart();
    const WaitSlot waiting(m_wait);
    const SnmpResponse response = bulkApplies(target)
        ? walkWaiting(target, sent)
        : ask(target, getOperation(first), sent);
    const MappedStatus mapped = MapStatus(response.status);
    const std::vector<SnmpVarBind> vbs = bindingsToRead(response, sent);

    if (mapped.code == kNoSuchName && list.IsTable() && endOfWalk(vbs))
        return false;
    const bool failed = mapped.code != 0;
    if (failed) {
        report(mapped.code, mapped.text);
        ok = false;
    }
    bool more = false;
    try {
        requireProgress(vbs);
        more = ReadResponse(vbs);
        if (more)
            countRow();
    } catch (const WalkError& error) {
        // The walk ends as an exchange does that fails: with its error, not as an exception.
        report(error.code(), error.what());
        ok = false;
        return false;
    }
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
    const WaitSlot waiting(m_wait);
    const SnmpResponse response = ask(target, PduKind::Set, sent);
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
    if (first)
        m_walk.Restart();
    if (bulkApplies(target)) {
        exchange.agentAddress = target.address;
        exchange.agentPort = target.port;
        walkNotifying(std::make_shared<Exchange>(std::move(exchange)), target);
        return;
    }
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
    const int status = post(
        target, kind, shared->sent, [this, shared](const SnmpResponse& response) { complete(shared, response); },
        &ticket);
    if (status != 0) {
        // Nothing is in flight: the completion will never come, so nothing is outstanding.
        const MappedStatus mapped = MapStatus(status);
        report(mapped.code, mapped.text);
        return;
    }
    track(shared, ticket);
}

void QvSNMPRequest::track(const std::shared_ptr<Exchange>& exchange, SnmpSession::Ticket ticket)
{
    m_tickets.erase(exchange->ticket);
    exchange->ticket = ticket;
    m_tickets.insert(ticket);
    if (!exchange->counted) {
        exchange->counted = true;
        ++outstanding;
    }
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
            if (exchange->isGet)
                requireProgress(vbs);
            record.finished = !ReadResponse(vbs);
            if (exchange->isGet && !record.finished)
                countRow();
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
