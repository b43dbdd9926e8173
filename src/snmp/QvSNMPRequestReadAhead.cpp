#include "snmp/QvSNMPRequest.h"

#include "platform/ExchangeWait.h"
#include "snmp/QvException.h"

#include <QElapsedTimer>

#include <algorithm>
#include <tuple>

// An answer read ahead (a page's opening reads asked together) stands in for exactly one
// exchange: the next one, and only when it asks what was asked ahead. Whatever else the
// request sends first (another question, a set) drops it, so nothing read ahead is ever
// served late or in place of another question.

namespace {

// How often a wait for an answer on its way looks whether the event pump has taken it.
constexpr int kPendingLookMs = 10;
// How long a notifying exchange waits for its answer on its way before it asks itself.
constexpr int kNotifyingPendingMs = 1000;

auto identity(const SnmpTarget& t)
{
    return std::tie(t.address, t.port, t.version, t.timeout, t.retries, t.readCommunity, t.writeCommunity,
                    t.securityLevel, t.securityName, t.authPassword, t.privPassword, t.authProtocol,
                    t.privProtocol, t.contextName, t.contextEngineId);
}

bool sameNames(const std::vector<SnmpVarBind>& a, const std::vector<SnmpVarBind>& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].oid != b[i].oid)
            return false;
    return true;
}

} // namespace

bool QvSNMPRequest::FirstQuestion(Question& question)
{
    if (!alive || list.kind > kListTableUnlisted)
        return false;
    try {
        question.target = makeTarget();
        question.vbs = getVarBinds(true);
    } catch (const QvException&) {
        return false;  // the Get itself meets the same failure and reports it
    }
    question.maxRepetitions = 0;
    if (bulkApplies(question.target)) {
        // A walk that starts has read nothing ahead: its first get-bulk asks for every column.
        std::vector<size_t> every;
        for (size_t p = 0; p < question.vbs.size(); ++p)
            every.push_back(p);
        question.vbs = BulkWalk::Question(question.vbs, every);
        question.kind = PduKind::GetBulk;
        question.maxRepetitions = static_cast<int>(m_walk.OpeningRepetitions(question.vbs.size()));
    } else {
        question.kind = getOperation(true);
    }
    return !question.vbs.empty();
}

void QvSNMPRequest::TakeReadAhead(const Question& question, const SnmpResponse& answer)
{
    m_readAhead = ReadAhead{question, answer, nullptr};
}

void QvSNMPRequest::TakePendingReadAhead(const Question& question, std::shared_ptr<const PendingAnswer> pending)
{
    m_readAhead = ReadAhead{question, {}, std::move(pending)};
}

bool QvSNMPRequest::awaitPending(const PendingAnswer& pending, SnmpResponse& answer)
{
    // A waiting exchange waits as long as the answer's time-out runs; a notifying one a moment
    // at most (the answer is usually a few milliseconds away), then asks the device itself.
    const int mostMs = m_wait ? -1 : kNotifyingPendingMs;
    ExchangeWait own;
    ExchangeWait& wait = m_wait ? *m_wait : own;
    SnmpSession& session = SnmpSession::global();
    QElapsedTimer waited;
    waited.start();
    while (!pending.Settled() && !wait.Ended() && !ExchangeWait::Stopping()
           && (mostMs < 0 || waited.elapsed() < mostMs)) {
        const std::vector<int> sockets = session.sockets();
        if (sockets.empty())
            break;
        // The event pump delivers the answer; looking often keeps the pump's own wake-ups cheap.
        if (!wait.Wait(sockets.front(), std::clamp(pending.LeftMilliseconds(), 1, kPendingLookMs)))
            break;
        session.processPendingEvents();
    }
    return pending.Settled() && pending.Answer(answer);
}

bool QvSNMPRequest::readAheadFor(const SnmpTarget& target, PduKind kind, const std::vector<SnmpVarBind>& vbs,
                                 int maxRepetitions, SnmpResponse& answer)
{
    if (!m_readAhead)
        return false;
    ReadAhead ahead = std::move(*m_readAhead);
    m_readAhead.reset();
    const Question& asked = ahead.question;
    if (asked.kind != kind || identity(asked.target) != identity(target) || !sameNames(asked.vbs, vbs))
        return false;
    if (ahead.pending) {
        if (!awaitPending(*ahead.pending, ahead.answer))
            return false;
    }
    if (asked.maxRepetitions != maxRepetitions) {
        // A walk's first get-bulk asked ahead for more rows: its whole answer serves the walk
        // (the rows it gives are those of get-next whatever the count), and so does the
        // time-out of a silent device (ReadTogether); anything else, such as tooBig for the
        // larger count, goes, and the walk asks as it would have.
        const bool whole = ahead.answer.status == 0 || ahead.answer.status == kStatusTimeout;
        if (kind != PduKind::GetBulk || asked.maxRepetitions < maxRepetitions || !whole)
            return false;
        m_walk.AskedWith(static_cast<uint32_t>(asked.maxRepetitions));
    }
    answer = ahead.answer;
    return true;
}

SnmpResponse QvSNMPRequest::ask(const SnmpTarget& target, PduKind kind, const std::vector<SnmpVarBind>& vbs,
                                int maxRepetitions)
{
    SnmpResponse answer;
    if (readAheadFor(target, kind, vbs, maxRepetitions, answer))
        return answer;
    return SnmpSession::global().request(target, kind, vbs, maxRepetitions, m_wait);
}

int QvSNMPRequest::post(const SnmpTarget& target, PduKind kind, const std::vector<SnmpVarBind>& vbs,
                        SnmpSession::Completion completion, SnmpSession::Ticket* ticket, int maxRepetitions)
{
    SnmpResponse answer;
    if (readAheadFor(target, kind, vbs, maxRepetitions, answer)) {
        // Delivered from the event pump, as an answer from the device would be.
        const SnmpSession::Ticket delivered = SnmpSession::global().deliver(answer, std::move(completion));
        if (ticket)
            *ticket = delivered;
        return 0;
    }
    return SnmpSession::global().send(target, kind, vbs, std::move(completion), ticket, maxRepetitions);
}
