#pragma once

#include "snmp/BulkWalk.h"
#include "snmp/QvSNMPError.h"
#include "snmp/QvSNMPVarList.h"
#include "snmp/SnmpSession.h"
#include "snmp/SnmpTypes.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

// SNMP operations over one variable list against the agent of the connection settings: a
// get of scalars or single instances, a row-by-row table walk with get-next, and a set of
// the whole list or of a selection. On SNMPv2c and SNMPv3 a walk reads ahead with get-bulk
// and answers its get-next steps from what it read (BulkWalk): the rows, their order and the
// end of the walk are those of get-next, with far fewer exchanges. Each has a waiting form (returns when the exchange is
// over) and a notifying form (returns at once; the completion runs from the event pump).
// Failures come back as QvSNMPError records with catalogued codes; structural errors (bad
// address, syntax, key count, expressions) are thrown as QvException.
class ExchangeWait;

class QvSNMPRequest {
public:
    using ErrorCallback = std::function<void(const QvSNMPError&)>;
    using Completion = std::function<void(void* callbackData, const QvSNMPError& error, QvSNMPVarList& list)>;

    // How long destruction waits for outstanding notifying exchanges.
    static constexpr int kDestroyWaitMilliseconds = 6000;

    // Copies the global connection settings now.
    QvSNMPRequest();
    // Waits up to kDestroyWaitMilliseconds for outstanding notifying exchanges; those still
    // open afterwards complete without calling back.
    virtual ~QvSNMPRequest();
    QvSNMPRequest(const QvSNMPRequest&) = delete;
    QvSNMPRequest& operator=(const QvSNMPRequest&) = delete;

    // Item values in place of "$n" references (marker + item index). Numbers stay as they
    // are, booleans become 1 / 0, timeticks hundredths, date-times date-time numbers; other
    // texts are double-quoted when quoteTexts, else an error (-513). "(NULL)" throws -512.
    virtual std::string SubstituteValues(const std::string& expression, bool quoteTexts, const std::string& marker);
    // Reads key item's value from the leading sub-identifiers of suffix; returns the rest.
    virtual std::string DecodeIndex(int32_t item, const std::string& suffix);
    // The index sub-identifiers of key item's value, dotted.
    virtual std::string EncodeIndex(int32_t item);
    virtual void ValueFromVb(int32_t item, const SnmpVarBind& vb);
    virtual void ValueToVb(int32_t item, SnmpVarBind& vb);
    // Evaluates the item's get (afterGet) or set expression into its value; none: no change.
    virtual void DeriveValue(int32_t item, bool afterGet);
    // The logical condition over the items' values; an empty condition holds.
    virtual bool Accepts(const std::string& expression);
    // Whether a walked column has left its base (or stands still).
    virtual bool ColumnEnded(const std::string& base, const std::string& last, const std::string& received);

    // Waiting get; first = false continues a walk. Returns whether more rows may follow;
    // ok becomes false when an error was reported (and is left as it was otherwise).
    bool GetSync(bool first, bool& ok);
    void GetAsync(Completion callback, void* callbackData, bool first);
    // selection: "" for every settable item, or item indices "0,2"; valueSource: null or
    // the value for each index of the selection, in its order. The list is left as it was.
    bool SetSync(bool& ok, bool readBack, const std::string& selection,
                 const std::vector<std::string>* valueSource = nullptr);
    void SetAsync(Completion callback, void* callbackData, bool readBack, const std::string& selection,
                  const std::vector<std::string>* valueSource = nullptr);

    // Gives up every outstanding notifying exchange: none of them calls back any more, and
    // destruction does not wait for them (for an owner told to stop at once). A waiting
    // exchange under way ends at once as a time-out.
    void Abandon();
    // Closes the engine session of this request's agent and credentials when nothing awaited
    // runs on it (see SnmpSession::release): for an owner done with the agent for good.
    void ReleaseSession();

    // The first exchange a Get would send now (a walk's first get-bulk included), so that it
    // can be asked together with other requests' (ReadTogether.h). False when a Get would
    // send nothing.
    struct Question {
        SnmpTarget target;
        PduKind kind = PduKind::Get;
        std::vector<SnmpVarBind> vbs;
        int maxRepetitions = 0;
    };
    bool FirstQuestion(Question& question);
    // The device's answer to a question asked ahead: the request's next exchange takes it in
    // place of asking, if it asks exactly that; any other exchange drops it unused.
    void TakeReadAhead(const Question& question, const SnmpResponse& answer);
    // An answer asked ahead that is still on its way: the request's next exchange, if it asks
    // exactly that, waits for it as long as the question's own time-out runs, no longer.
    class PendingAnswer {
    public:
        virtual ~PendingAnswer() = default;
        // The answer is in, or its time is up.
        virtual bool Settled() const = 0;
        // How long it may still take.
        virtual int LeftMilliseconds() const = 0;
        // Once settled: the answer the question would have had alone; false when none came
        // that serves (the exchange then asks the device itself).
        virtual bool Answer(SnmpResponse& answer) const = 0;
    };
    void TakePendingReadAhead(const Question& question, std::shared_ptr<const PendingAnswer> pending);
    void DropReadAhead() { m_readAhead.reset(); }
    bool HasReadAhead() const { return m_readAhead.has_value(); }

    // Stores one response's values into the readable items; true when another row may follow.
    bool ReadResponse(const std::vector<SnmpVarBind>& vbs);
    // Decodes the key items from a row's instance suffix.
    void DecodeRow(const std::string& suffix);
    // The row's instance from the key items' values.
    std::string RowIndex();
    // The item's OID with the list's instance suffix.
    std::string BaseOid(int32_t item) const;

    ErrorCallback errorCallback;
    bool useGetNext = false;
    uint32_t timeout;      // hundredths of a second per try
    uint32_t retries = 1;  // further tries after a time-out
    bool useGetBulk = true;  // table walks on SNMPv2c / SNMPv3 read ahead with get-bulk

    std::string address;
    uint16_t port = 161;
    std::string contextEngineId;
    std::string contextName;
    uint8_t version = 0;
    std::string readCommunity;
    std::string writeCommunity;
    int32_t securityModel = 0;
    int32_t securityLevel = 0;
    std::string securityName;
    std::string authPassword;
    std::string privPassword;
    int32_t authProtocol = 0;
    int32_t privProtocol = 0;

    QvSNMPVarList list;
    std::string filterExpression;
    bool alive = true;
    int32_t outstanding = 0;
    uint64_t errorCount = 0;

private:
    struct Exchange {
        Completion callback;
        void* callbackData = nullptr;
        bool isGet = true;
        bool processValues = true;
        std::vector<SnmpVarBind> sent;
        std::string agentAddress;
        uint16_t agentPort = 0;
        SnmpSession::Ticket ticket = 0;
        bool counted = false;  // in outstanding
    };

    SnmpTarget makeTarget() const;
    std::vector<SnmpVarBind> getVarBinds(bool first);
    PduKind getOperation(bool first) const;
    std::vector<SnmpVarBind> setVarBinds(const std::string& selection, const std::vector<std::string>* valueSource);
    // The bindings to read from an answer: the answer's own on success, else the ones sent
    // without values.
    static std::vector<SnmpVarBind> bindingsToRead(const SnmpResponse& response, const std::vector<SnmpVarBind>& sent);
    bool endOfWalk(const std::vector<SnmpVarBind>& vbs);
    void report(int code, const std::string& message);
    void sendNotifying(Exchange exchange, const SnmpTarget& target, PduKind kind);
    // Walks with get-bulk (QvSNMPRequestWalk.cpp).
    bool bulkApplies(const SnmpTarget& target) const;
    // The get-next answer to `sent`, from what was read ahead or by asking the device.
    SnmpResponse walkWaiting(const SnmpTarget& target, const std::vector<SnmpVarBind>& sent);
    void walkNotifying(const std::shared_ptr<Exchange>& exchange, const SnmpTarget& target);
    // A walk that would never end (QvSNMPRequestWalk.cpp) throws WalkError: an answer inside
    // its column that does not follow the object asked, or a row beyond the largest table.
    void requireProgress(const std::vector<SnmpVarBind>& vbs);
    void countRow();
    // One exchange of a notifying walk step; false when it could not be sent (the step has
    // then ended, with the error reported or completed).
    bool sendStep(const std::shared_ptr<Exchange>& exchange, const SnmpTarget& target, PduKind kind,
                  const std::vector<SnmpVarBind>& vbs, int maxRepetitions, SnmpSession::Completion completion);
    void track(const std::shared_ptr<Exchange>& exchange, SnmpSession::Ticket ticket);
    void complete(const std::shared_ptr<Exchange>& exchange, const SnmpResponse& response);
    bool isLastImpliedKey(int32_t item) const;
    // Every exchange goes through these (QvSNMPRequestReadAhead.cpp): the answer read ahead
    // when it is the one asked, else the device's. post returns as SnmpSession::send.
    SnmpResponse ask(const SnmpTarget& target, PduKind kind, const std::vector<SnmpVarBind>& vbs,
                     int maxRepetitions = 0);
    int post(const SnmpTarget& target, PduKind kind, const std::vector<SnmpVarBind>& vbs,
             SnmpSession::Completion completion, SnmpSession::Ticket* ticket, int maxRepetitions = 0);
    // Takes the answer read ahead when it answers this exchange; drops it in any case.
    bool readAheadFor(const SnmpTarget& target, PduKind kind, const std::vector<SnmpVarBind>& vbs,
                      int maxRepetitions, SnmpResponse& answer);

    std::set<SnmpSession::Ticket> m_tickets;
    BulkWalk m_walk;
    uint32_t m_walkRows = 0;  // rows of the walk under way (WalkError::kMostRows at most)
    ExchangeWait* m_wait = nullptr;  // of the waiting exchange under way
    struct ReadAhead {
        Question question;
        SnmpResponse answer;
        std::shared_ptr<const PendingAnswer> pending;  // the answer is still on its way
    };
    // Waits for an answer still on its way (closing the window ends the wait); false when
    // none came that serves.
    bool awaitPending(const PendingAnswer& pending, SnmpResponse& answer);
    std::optional<ReadAhead> m_readAhead;
};
