#include "snmp/QvSNMPRequest.h"

#include "snmp/ErrorCatalogue.h"
#include "snmp/WalkError.h"

// Table walks that read ahead with get-bulk. Each step of a walk is the get-next it has always
// been; its answer comes from what a get-bulk read ahead, and a get-bulk goes out only when
// that does not reach far enough. SNMPv1 has no get-bulk; a device whose get-bulk answers
// cannot be trusted is walked with get-next from then on, the step that found out included.

bool QvSNMPRequest::bulkApplies(const SnmpTarget& target) const
{
    return list.IsTable() && useGetBulk && target.version != 0 && !SnmpSession::global().bulkRefused(target);
}

SnmpResponse QvSNMPRequest::walkWaiting(const SnmpTarget& target, const std::vector<SnmpVarBind>& sent)
{
    SnmpSession& session = SnmpSession::global();
    for (;;) {
        SnmpResponse answered;
        std::vector<size_t> missing;
        if (m_walk.Answer(sent, answered.vbs, missing))
            return answered;
        if (session.bulkRefused(target))
            return ask(target, PduKind::GetNext, sent);
        const std::vector<SnmpVarBind> question = BulkWalk::Question(sent, missing);
        const SnmpResponse response =
            ask(target, PduKind::GetBulk, question, static_cast<int>(m_walk.Repetitions()));
        switch (m_walk.Absorb(question, missing, response)) {
        case BulkWalk::Outcome::Read:
        case BulkWalk::Outcome::AskAgain:
            continue;
        case BulkWalk::Outcome::Refused:
            session.refuseBulk(target);
            return ask(target, PduKind::GetNext, sent);
        case BulkWalk::Outcome::StepByStep: {
            // Refused in bulk but answered step by step: the device cannot do get-bulk.
            SnmpResponse stepped = ask(target, PduKind::GetNext, sent);
            if (stepped.status == 0)
                session.refuseBulk(target);
            return stepped;
        }
        case BulkWalk::Outcome::Failed:
            return response;
        }
    }
}

bool QvSNMPRequest::sendStep(const std::shared_ptr<Exchange>& exchange, const SnmpTarget& target, PduKind kind,
                             const std::vector<SnmpVarBind>& vbs, int maxRepetitions,
                             SnmpSession::Completion completion)
{
    SnmpSession::Ticket ticket = 0;
    const int status = post(target, kind, vbs, std::move(completion), &ticket, maxRepetitions);
    if (status == 0) {
        track(exchange, ticket);
        return true;
    }
    if (!exchange->counted) {
        // Nothing is in flight: as a get-next that could not be sent.
        const MappedStatus mapped = MapStatus(status);
        report(mapped.code, mapped.text);
        return false;
    }
    // The step has begun: it ends with the failure as its answer.
    SnmpResponse failed;
    failed.status = status;
    complete(exchange, failed);
    return false;
}

void QvSNMPRequest::walkNotifying(const std::shared_ptr<Exchange>& exchange, const SnmpTarget& target)
{
    SnmpSession& session = SnmpSession::global();
    const SnmpSession::Completion finish = [this, exchange](const SnmpResponse& response) { complete(exchange, response); };
    SnmpResponse answered;
    std::vector<size_t> missing;
    if (m_walk.Answer(exchange->sent, answered.vbs, missing)) {
        track(exchange, session.deliver(answered, finish));
        return;
    }
    if (session.bulkRefused(target)) {
        sendStep(exchange, target, PduKind::GetNext, exchange->sent, 0, finish);
        return;
    }
    const std::vector<SnmpVarBind> question = BulkWalk::Question(exchange->sent, missing);
    sendStep(exchange, target, PduKind::GetBulk, question, static_cast<int>(m_walk.Repetitions()),
             [this, exchange, target, question, missing, finish](const SnmpResponse& response) {
                 SnmpSession& session = SnmpSession::global();
                 switch (m_walk.Absorb(question, missing, response)) {
                 case BulkWalk::Outcome::Read:
                 case BulkWalk::Outcome::AskAgain:
                     walkNotifying(exchange, target);
                     return;
                 case BulkWalk::Outcome::Refused:
                     session.refuseBulk(target);
                     sendStep(exchange, target, PduKind::GetNext, exchange->sent, 0, finish);
                     return;
                 case BulkWalk::Outcome::StepByStep:
                     sendStep(exchange, target, PduKind::GetNext, exchange->sent, 0,
                              [this, exchange, target](const SnmpResponse& stepped) {
                                  if (stepped.status == 0)
                                      SnmpSession::global().refuseBulk(target);
                                  complete(exchange, stepped);
                              });
                     return;
                 case BulkWalk::Outcome::Failed:
                     complete(exchange, response);
                     return;
                 }
             });
}

void QvSNMPRequest::requireProgress(const std::vector<SnmpVarBind>& vbs)
{
    if (!list.IsTable())
        return;
    size_t j = 0;
    for (int32_t i = 0; i < list.Count(); ++i) {
        if (!list.IsReadable(i))
            continue;
        if (j >= vbs.size())
            return;
        const SnmpVarBind& vb = vbs[j++];
        const std::string& last = list.Item(i).currentOid;
        // The first step asks for the column itself, which everything inside it follows; an
        // answer that leaves the column or names the object asked ends the column instead.
        OidValue asked;
        const std::string received = OidToText(vb.oid);
        if (last.empty() || !ParseOid(last, asked) || ColumnEnded(BaseOid(i), last, received))
            continue;
        if (!(asked < vb.oid))
            throw WalkError::NotIncreasing(last, received);
    }
}

void QvSNMPRequest::countRow()
{
    if (++m_walkRows > WalkError::kMostRows)
        throw WalkError::TooManyRows();
}
