#include "snmp/ReadTogether.h"

#include "platform/ExchangeWait.h"
#include "snmp/QvSNMPRequest.h"
#include "snmp/SnmpSession.h"

#include <QElapsedTimer>
#include <QScopeGuard>

#include <algorithm>
#include <limits>
#include <map>
#include <memory>
#include <string>

namespace {

constexpr int kStatusTooBig = 1;
constexpr int kLastPduErrorStatus = 19;
constexpr int kStatusSessionClosed = -8;
// What a binding's value may take in an answer, beyond its name: most values of a page are
// numbers, addresses and short texts; a longer answer is refused as too big and split.
constexpr size_t kValueAllowance = 40;
// Beyond the longest time-out of the questions, how long the read waits for their ends.
constexpr qint64 kGraceMs = 2000;
// How often the wait looks whether every answer is in (they arrive through the event pump).
constexpr int kLookMs = 10;
// The bindings an agent puts into one get-bulk answer at most (agents commonly stop at 100,
// whole rows only): a table's first get-bulk that asks for more goes out in groups of columns
// that each fit, at once, and their answers are put back together row by row.
constexpr size_t kBulkAnswerBindings = 96;

// A request's question and what came of it.
struct Asked {
    QvSNMPRequest* request = nullptr;
    QvSNMPRequest::Question question;
};

// One PDU on the wire: the questions of its members in order (one member: the question as
// that request would have sent it), or some columns of one walk's first get-bulk.
struct Packet {
    std::vector<size_t> members;
    std::vector<size_t> columns;  // of a get-bulk split by columns; empty: every binding
};

struct Flight {
    std::vector<Packet> packets;
    std::vector<SnmpResponse> answers;
    std::vector<bool> answered;
    std::vector<SnmpSession::Ticket> tickets;  // 0: not sent
    std::vector<qint64> deadlineMs;            // from the start, its time-out and the grace
    QElapsedTimer clock;
    int open = 0;
    int realAnswers = 0;  // answers other than a time-out: the device is not silent
    ExchangeWait* wait = nullptr;  // while the flight is waited for

    Flight() = default;
    Flight(const Flight&) = delete;
    Flight& operator=(const Flight&) = delete;
    // Answers still on their way when nobody waits for them any more are dropped.
    ~Flight()
    {
        for (size_t p = 0; p < tickets.size(); ++p)
            if (tickets[p] != 0 && !answered[p])
                SnmpSession::global().forget(tickets[p]);
    }
    bool settled(size_t p) const { return answered[p] || tickets[p] == 0 || clock.elapsed() >= deadlineMs[p]; }
};

// Questions that can share one get: plain gets to the same agent with the same credentials,
// time-out and retries, so a merged one fails or times out exactly as each would.
std::string mergeKey(const QvSNMPRequest::Question& q)
{
    const SnmpTarget& t = q.target;
    const char s = '\x1f';
    return t.address + s + std::to_string(t.port) + s + std::to_string(t.version) + s + std::to_string(t.timeout) + s
        + std::to_string(t.retries) + s + t.readCommunity + s + t.writeCommunity + s
        + std::to_string(t.securityLevel) + s + t.securityName + s + t.authPassword + s + t.privPassword + s
        + std::to_string(t.authProtocol) + s + std::to_string(t.privProtocol) + s + t.contextName + s
        + t.contextEngineId;
}

// The bytes a question's bindings take in the request and, roughly, in the answer.
size_t estimatedSize(const QvSNMPRequest::Question& q)
{
    size_t size = 0;
    for (const SnmpVarBind& vb : q.vbs)
        size += 2 * (vb.oid.size() + 4) + kValueAllowance;
    return size;
}

std::vector<SnmpVarBind> bindingsOf(const Packet& packet, const std::vector<Asked>& asked)
{
    std::vector<SnmpVarBind> vbs;
    if (!packet.columns.empty()) {
        const std::vector<SnmpVarBind>& all = asked[packet.members.front()].question.vbs;
        for (size_t column : packet.columns)
            vbs.push_back(all[column]);
        return vbs;
    }
    for (size_t m : packet.members)
        vbs.insert(vbs.end(), asked[m].question.vbs.begin(), asked[m].question.vbs.end());
    return vbs;
}

// The first packets: mergeable gets packed up to the budget, everything else on its own.
std::vector<Packet> pack(const std::vector<Asked>& asked)
{
    std::vector<Packet> packets;
    std::map<std::string, std::pair<size_t, size_t>> filling;  // key -> packet, bytes in it
    for (size_t i = 0; i < asked.size(); ++i) {
        const QvSNMPRequest::Question& q = asked[i].question;
        if (q.kind == PduKind::GetBulk && q.maxRepetitions > 0) {
            // As many columns a group as the agent answers whole rows of.
            const size_t rows = static_cast<size_t>(q.maxRepetitions);
            const size_t width = std::max<size_t>(1, kBulkAnswerBindings / rows);
            if (q.vbs.size() > width) {
                for (size_t from = 0; from < q.vbs.size(); from += width) {
                    Packet group{{i}, {}};
                    for (size_t column = from; column < std::min(q.vbs.size(), from + width); ++column)
                        group.columns.push_back(column);
                    packets.push_back(std::move(group));
                }
                continue;
            }
        }
        if (q.kind != PduKind::Get) {
            packets.push_back({{i}});
            continue;
        }
        const std::string key = mergeKey(q);
        const size_t size = estimatedSize(q);
        auto open = filling.find(key);
        if (open != filling.end() && open->second.second + size <= ReadTogether::kDatagramBudget) {
            packets[open->second.first].members.push_back(i);
            open->second.second += size;
            continue;
        }
        packets.push_back({{i}});
        filling[key] = {packets.size() - 1, size};
    }
    return packets;
}

// Sends every packet at once and waits until each of those with the shortest time-out has its
// answer (or its time has run out): a question with a longer time-out must not hold back the
// answers of the others, which their requests would have had alone long before. Returns the
// flight; a packet still on its way is left to the requests that wait for it (PendingShare), a
// packet that could not be sent has no answer.
std::shared_ptr<Flight> fly(std::vector<Packet> packets, const std::vector<Asked>& asked, int& exchanges,
                            ExchangeWait& wait)
{
    auto flight = std::make_shared<Flight>();
    flight->packets = std::move(packets);
    flight->answers.resize(flight->packets.size());
    flight->answered.assign(flight->packets.size(), false);
    flight->tickets.assign(flight->packets.size(), 0);
    flight->deadlineMs.assign(flight->packets.size(), 0);
    flight->clock.start();
    SnmpSession& session = SnmpSession::global();
    qint64 shortestMs = -1;
    for (size_t p = 0; p < flight->packets.size(); ++p) {
        const QvSNMPRequest::Question& first = asked[flight->packets[p].members.front()].question;
        SnmpSession::Ticket ticket = 0;
        std::weak_ptr<Flight> weak = flight;
        const int status = session.send(
            first.target, first.kind, bindingsOf(flight->packets[p], asked),
            [weak, p](const SnmpResponse& response) {
                if (auto f = weak.lock()) {
                    f->answers[p] = response;
                    f->answered[p] = true;
                    if (response.status != kStatusTimeout)
                        ++f->realAnswers;
                    // The event pump took it inside the wait: the wait looks again at once.
                    --f->open;
                    if (f->wait)
                        f->wait->Wake();
                }
            },
            &ticket, first.maxRepetitions);
        if (status != 0)
            continue;  // its request sends it itself and meets the same failure
        ++exchanges;
        ++flight->open;
        flight->tickets[p] = ticket;
        const qint64 timeMs = qint64{first.target.timeout} * 10 * (first.target.retries + 1);
        flight->deadlineMs[p] = timeMs + kGraceMs;
        shortestMs = shortestMs < 0 ? timeMs : std::min(shortestMs, timeMs);
    }
    const auto due = [&flight, shortestMs] {
        for (size_t p = 0; p < flight->packets.size(); ++p)
            if (!flight->settled(p) && flight->deadlineMs[p] <= shortestMs + kGraceMs)
                return true;
        return false;
    };
    flight->wait = &wait;
    const auto waited = qScopeGuard([&] { flight->wait = nullptr; });
    while (flight->open > 0 && due()) {
        const std::vector<int> sockets = session.sockets();
        const qint64 left = shortestMs + kGraceMs - flight->clock.elapsed();
        if (sockets.empty() || !wait.Wait(sockets.front(), static_cast<int>(std::clamp<qint64>(left, 1, kLookMs))))
            break;
        session.processPendingEvents();
    }
    return flight;
}

bool sameNames(const std::vector<SnmpVarBind>& received, size_t from, const std::vector<SnmpVarBind>& asked)
{
    for (size_t j = 0; j < asked.size(); ++j)
        if (received[from + j].oid != asked[j].oid)
            return false;
    return true;
}

// Hands a merged get's answer to its members: true when each could take its share.
bool split(const Packet& packet, const SnmpResponse& answer, const std::vector<Asked>& asked)
{
    size_t total = 0;
    for (size_t m : packet.members)
        total += asked[m].question.vbs.size();
    if (answer.vbs.size() != total)
        return false;
    size_t from = 0;
    for (size_t m : packet.members) {
        if (!sameNames(answer.vbs, from, asked[m].question.vbs))
            return false;
        from += asked[m].question.vbs.size();
    }
    from = 0;
    for (size_t m : packet.members) {
        const size_t count = asked[m].question.vbs.size();
        SnmpResponse share;
        share.vbs.assign(answer.vbs.begin() + static_cast<std::ptrdiff_t>(from),
                         answer.vbs.begin() + static_cast<std::ptrdiff_t>(from + count));
        asked[m].request->TakeReadAhead(asked[m].question, share);
        from += count;
    }
    return true;
}

// The member whose binding an error index (from 1) names.
size_t memberAt(const Packet& packet, const std::vector<Asked>& asked, int errorIndex)
{
    size_t first = 1;
    for (size_t m : packet.members) {
        const size_t count = asked[m].question.vbs.size();
        if (static_cast<size_t>(errorIndex) < first + count)
            return m;
        first += count;
    }
    return packet.members.back();
}

// What to ask next after a merged get's answer: nothing (it was handed out, or nobody gets
// one), halves of it (too big), or the others without the one the error names.
std::vector<Packet> afterMerged(const Packet& packet, const SnmpResponse& answer, const std::vector<Asked>& asked)
{
    if (answer.status == 0) {
        split(packet, answer, asked);
        return {};
    }
    if (answer.status == kStatusTooBig) {
        const auto middle = packet.members.begin() + static_cast<std::ptrdiff_t>(packet.members.size() / 2);
        return {Packet{{packet.members.begin(), middle}}, Packet{{middle, packet.members.end()}}};
    }
    size_t total = 0;
    for (size_t m : packet.members)
        total += asked[m].question.vbs.size();
    if (answer.status < kStatusTooBig || answer.status > kLastPduErrorStatus || answer.errorIndex < 1
        || static_cast<size_t>(answer.errorIndex) > total)
        return {};  // a time-out or an error that names nobody: every Get asks for itself
    const size_t named = memberAt(packet, asked, answer.errorIndex);
    Packet others;
    for (size_t m : packet.members)
        if (m != named)
            others.members.push_back(m);
    // The one named is asked alone, as its Get would ask: its answer is its own.
    return {Packet{{named}}, others};
}

// A walk's first get-bulk asked in groups of columns: the answer the whole question would have
// had, row by row, as far as every group came with whole rows; false when a group failed.
bool stitch(const std::vector<const Packet*>& groups, const std::vector<const SnmpResponse*>& answers,
            const Asked& one, SnmpResponse& whole)
{
    size_t rows = static_cast<size_t>(one.question.maxRepetitions);
    for (size_t g = 0; g < groups.size(); ++g) {
        if (answers[g]->status != 0)
            return false;
        rows = std::min(rows, answers[g]->vbs.size() / groups[g]->columns.size());
    }
    whole = {};
    whole.vbs.resize(rows * one.question.vbs.size());
    for (size_t g = 0; g < groups.size(); ++g) {
        const std::vector<size_t>& columns = groups[g]->columns;
        for (size_t row = 0; row < rows; ++row)
            for (size_t c = 0; c < columns.size(); ++c)
                whole.vbs[row * one.question.vbs.size() + columns[c]] = answers[g]->vbs[row * columns.size() + c];
    }
    return true;
}

// A request's share of packets still on their way when the read returned: its next exchange
// waits for them (QvSNMPRequest::PendingAnswer) and takes what it would have had alone.
class PendingShare : public QvSNMPRequest::PendingAnswer {
public:
    PendingShare(std::shared_ptr<const Flight> flight, std::vector<size_t> packets, const Asked& one, size_t from,
                 size_t total)
        : m_flight(std::move(flight)), m_packets(std::move(packets)), m_one{nullptr, one.question}, m_from(from),
          m_total(total)
    {
    }

    bool Settled() const override
    {
        return std::all_of(m_packets.begin(), m_packets.end(), [this](size_t p) { return m_flight->settled(p); });
    }

    int LeftMilliseconds() const override
    {
        qint64 left = 0;
        for (size_t p : m_packets)
            if (!m_flight->settled(p))
                left = std::max(left, m_flight->deadlineMs[p] - m_flight->clock.elapsed());
        return static_cast<int>(std::clamp<qint64>(left, 0, std::numeric_limits<int>::max()));
    }

    bool Answer(SnmpResponse& answer) const override
    {
        for (size_t p : m_packets)
            if (!m_flight->answered[p])
                return false;
        // A device that has answered nothing of the flight is silent: the time-out is the
        // answer, as it would be alone.
        const bool silent = m_flight->realAnswers == 0;
        const Packet& first = m_flight->packets[m_packets.front()];
        const SnmpResponse& got = m_flight->answers[m_packets.front()];
        if (!first.columns.empty()) {
            std::vector<const Packet*> groups;
            std::vector<const SnmpResponse*> answers;
            for (size_t p : m_packets) {
                groups.push_back(&m_flight->packets[p]);
                answers.push_back(&m_flight->answers[p]);
            }
            if (stitch(groups, answers, m_one, answer))
                return true;
            if (!silent)
                return false;
            answer = got;
            return true;
        }
        if (got.status == kStatusTimeout && (silent || (first.members.size() == 1 && m_one.question.kind != PduKind::GetBulk))) {
            answer = got;
            return true;
        }
        if (first.members.size() == 1) {
            // Sent as the request would have sent it: whatever came back is its answer.
            if (got.status == kStatusSessionClosed || (got.status != 0 && m_one.question.kind == PduKind::GetBulk))
                return false;
            answer = got;
            return true;
        }
        // A merged get: its share when the device answered every binding, else it asks alone.
        const size_t count = m_one.question.vbs.size();
        if (got.status != 0 || got.vbs.size() != m_total || !sameNames(got.vbs, m_from, m_one.question.vbs))
            return false;
        answer = {};
        answer.vbs.assign(got.vbs.begin() + static_cast<std::ptrdiff_t>(m_from),
                          got.vbs.begin() + static_cast<std::ptrdiff_t>(m_from + count));
        return true;
    }

private:
    std::shared_ptr<const Flight> m_flight;
    std::vector<size_t> m_packets;
    Asked m_one;
    size_t m_from;   // its first binding in a merged get
    size_t m_total;  // the bindings of that merged get
};

// Every request with a packet still on its way gets its share of it to wait for.
void handOverPending(const std::shared_ptr<Flight>& flight, const std::vector<Asked>& asked)
{
    std::map<size_t, std::vector<size_t>> groupsOf;  // a walk split by columns: its packets
    for (size_t p = 0; p < flight->packets.size(); ++p) {
        const Packet& packet = flight->packets[p];
        if (!packet.columns.empty()) {
            groupsOf[packet.members.front()].push_back(p);
            continue;
        }
        if (flight->answered[p] || flight->tickets[p] == 0)
            continue;
        size_t total = 0;
        for (size_t m : packet.members)
            total += asked[m].question.vbs.size();
        size_t from = 0;
        for (size_t m : packet.members) {
            asked[m].request->TakePendingReadAhead(
                asked[m].question, std::make_shared<PendingShare>(flight, std::vector<size_t>{p}, asked[m], from, total));
            from += asked[m].question.vbs.size();
        }
    }
    for (auto& [member, groups] : groupsOf) {
        const bool open = std::any_of(groups.begin(), groups.end(), [&](size_t p) { return !flight->answered[p]; });
        const bool sent = std::all_of(groups.begin(), groups.end(), [&](size_t p) { return flight->tickets[p] != 0; });
        if (open && sent)
            asked[member].request->TakePendingReadAhead(asked[member].question,
                                                        std::make_shared<PendingShare>(flight, groups, asked[member], 0, 0));
    }
}

} // namespace

ReadTogether::Outcome ReadTogether::Read(const std::vector<QvSNMPRequest*>& requests, ExchangeWait* given)
{
    ExchangeWait own;
    ExchangeWait& wait = given ? *given : own;
    Outcome outcome;
    std::vector<Asked> asked;
    for (QvSNMPRequest* request : requests) {
        if (!request)
            continue;
        request->DropReadAhead();
        Asked one;
        one.request = request;
        if (request->FirstQuestion(one.question))
            asked.push_back(std::move(one));
    }
    std::vector<Packet> packets = pack(asked);
    // Each round asks again only without a member or in halves: it ends.
    while (!packets.empty() && outcome.rounds <= static_cast<int>(2 * asked.size()) && !wait.Ended()
           && !ExchangeWait::Stopping()) {
        const std::shared_ptr<Flight> flight = fly(std::move(packets), asked, outcome.exchanges, wait);
        ++outcome.rounds;
        if (wait.Ended())
            return outcome;  // the owner has let go: its requests may be gone
        packets.clear();
        // A device that answered nothing, not even the questions asked as their requests ask
        // them, is silent: the time-out is every request's answer, as it would be alone. That
        // holds for a question with a longer time-out still on its way too: a device that has
        // stopped answering does not keep a page waiting for its slowest question.
        bool silent = flight->realAnswers == 0;
        bool anyAnswered = false;
        for (size_t p = 0; p < flight->packets.size(); ++p) {
            silent = silent && flight->tickets[p] != 0;
            anyAnswered = anyAnswered || flight->answered[p];
        }
        silent = silent && anyAnswered;
        if (silent) {
            SnmpResponse timedOut;
            timedOut.status = kStatusTimeout;
            for (size_t p = 0; p < flight->packets.size(); ++p) {
                if (flight->answered[p])
                    continue;
                flight->answers[p] = timedOut;
                flight->answered[p] = true;
                SnmpSession::global().forget(flight->tickets[p]);
            }
        }
        // What is still on its way is waited for by the requests it answers, each as long as
        // its own time-out runs.
        handOverPending(flight, asked);
        // The groups of a walk's first get-bulk: one answer for the walk, put together.
        std::map<size_t, std::pair<std::vector<const Packet*>, std::vector<const SnmpResponse*>>> split;
        for (size_t p = 0; p < flight->packets.size(); ++p) {
            const Packet& packet = flight->packets[p];
            if (packet.columns.empty() || silent)
                continue;
            auto& [groups, answers] = split[packet.members.front()];
            groups.push_back(&packet);
            answers.push_back(flight->answered[p] ? &flight->answers[p] : nullptr);
        }
        for (auto& [member, parts] : split) {
            SnmpResponse whole;
            const bool all = std::find(parts.second.begin(), parts.second.end(), nullptr) == parts.second.end();
            if (!all)
                continue;  // waited for by the walk (handed over above)
            if (all && stitch(parts.first, parts.second, asked[member], whole))
                asked[member].request->TakeReadAhead(asked[member].question, whole);
        }
        for (size_t p = 0; p < flight->packets.size(); ++p) {
            if (!flight->answered[p])
                continue;
            const Packet& packet = flight->packets[p];
            const SnmpResponse& answer = flight->answers[p];
            if (!packet.columns.empty() && !silent)
                continue;  // put together above
            if (silent) {
                for (size_t m : packet.members)
                    asked[m].request->TakeReadAhead(asked[m].question, answer);
                continue;
            }
            if (packet.members.size() == 1) {
                // Sent as its request would have sent it: whatever came back is its answer,
                // unless the session itself went away meanwhile. A walk's first get-bulk asks
                // for more rows than the walk would: only a whole answer serves it.
                const Asked& one = asked[packet.members.front()];
                if (answer.status != kStatusSessionClosed && (answer.status == 0 || one.question.kind != PduKind::GetBulk))
                    one.request->TakeReadAhead(one.question, answer);
                continue;
            }
            for (Packet& next : afterMerged(packet, answer, asked))
                if (!next.members.empty())
                    packets.push_back(std::move(next));
        }
    }
    return outcome;
}
