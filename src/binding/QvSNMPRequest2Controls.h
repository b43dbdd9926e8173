#pragma once

#include "snmp/QvSNMPError.h"
#include "snmp/QvSNMPRequest.h"

#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QPlainTextEdit;
class QWidget;
class QvStatusBar;
class QvStatusPanel;

// Couples one request over one variable list with the controls of a form: Get reads the
// variables and shows them, Set reads the controls back and writes them. How values reach
// the controls is the business of the derived classes.
//
// Exchange failures (time-outs, agent errors) do not throw. A waiting Get or Set returns
// false and reports the failure as a status line in the status sink (nothing more when the
// binding has no sink: the result tells the page). A notifying one hands the record to OnGetDone / OnSetDone;
// that includes a request that could not even be sent, so Busy always ends. Structural
// errors (bad syntax, bad value, bad address) throw QvException out of Get and Set.
class QvSNMPRequest2Controls {
public:
    enum Mode : uint8_t { kWaiting = 0, kNotifying = 1 };
    using DoneHandler = std::function<void(QvSNMPRequest2Controls& binding, const QvSNMPError& record)>;

    explicit QvSNMPRequest2Controls(QWidget* form);
    virtual ~QvSNMPRequest2Controls();
    QvSNMPRequest2Controls(const QvSNMPRequest2Controls&) = delete;
    QvSNMPRequest2Controls& operator=(const QvSNMPRequest2Controls&) = delete;

    // The request over the binding's variable list; pages assign its list and set its
    // timeout and retries. The binding uses its errorCallback itself.
    QvSNMPRequest request;
    DoneHandler OnGetDone;  // a notifying get ended (with success or not)
    DoneHandler OnSetDone;  // a notifying set ended
    uint8_t RequestMode = kNotifying;
    bool Busy = false;           // an exchange is under way
    bool RefreshAfterSet = true; // after a set of a table, read the table again
    // Rows must also meet rowCondition, in which "#n" stands for item n of conditionRequest.
    QvSNMPRequest* conditionRequest = nullptr;
    std::string rowCondition;

    QWidget* Form() const { return m_form; }

    // Where status lines go: a memo gets a new line, a status bar its simple text, a status
    // panel its text.
    void SetStatusSink(QPlainTextEdit* memo);
    void SetStatusSink(QvStatusBar* statusBar);
    void SetStatusSink(QvStatusPanel* panel);
    // 0 after a get started or ended, 1 after a set.
    int32_t StatusTemplate() const { return m_template; }

    // Waiting: true when the exchange succeeded. Notifying: true; the outcome arrives in
    // OnGetDone.
    bool Get();
    // The items' accesses back to what they were at the first Get: checks mark items invalid
    // so that a write leaves them out, and a read must not leave them out after that.
    void RestoreOpeningAccess();
    // refreshAfterSet: read a table again afterwards; collect: take the values from the
    // controls first. selection and valueSource go to the request unchanged.
    // Notifying sets reach the device in the order they were issued: a set issued while an
    // earlier one is outstanding takes its values now and leaves when that one has ended
    // (whatever its outcome). Each set ends in its own OnSetDone, in order.
    bool Set(bool refreshAfterSet = true, bool collect = true, const std::string& selection = {},
             const std::vector<std::string>* valueSource = nullptr);
    // A notifying set is outstanding or waiting for its turn.
    bool SetPending() const { return m_setOutstanding || !m_queuedSets.empty(); }
    // A waiting Get or Set is under way, below on the stack: the event loop runs inside it
    // (while it waits for an answer, and between the rows of a list view).
    bool WaitingExchange() const { return m_waiting > 0; }

    // The window that installed the handlers is going: none of them runs any more.
    virtual void CutHandlers();
    // The window closes without waiting for the binding's exchanges: its handlers are cut, the
    // outstanding exchanges given up, nothing more is sent, and the binding is no longer Busy.
    void Abandon();

    // "Get: <error> Receive at 10:04:59 AM." into the status sink; nothing without a sink.
    void ShowStatus(const std::string& errorText);
    // Why the last waiting Get or Set failed, for a page that tells it in its own words.
    QvSNMPError LastError() const { return lastError(); }

protected:
    virtual void BeforeGet() {}
    virtual void BeforeSet() {}
    // The request's items hold the values of one response (or one row of a table).
    virtual void ValuesArrived() = 0;
    virtual void CollectValues() {}
    virtual void ReportGetError(const QvSNMPError& record);
    virtual void ReportSetError(const QvSNMPError& record);
    virtual void AfterGet() {}
    // A get has ended, whichever way (also after a failure or a refused row); before OnGetDone.
    virtual void GetEnded() {}
    virtual void AfterSet() {}

    // Whether the row the items hold passes the row condition and the request's filter.
    bool RowAccepted();

private:
    enum class SinkKind { None, Memo, Bar, Panel };

    void reportError(int32_t statusTemplate, const QvSNMPError& record);
    // The error line of an exception raised while showing values.
    void showFailure(const std::string& text);
    QvSNMPRequest::Completion completion(void (QvSNMPRequest2Controls::*step)(const QvSNMPError&));
    // Starts a notifying get; false (with OnGetDone called) when nothing could be sent.
    bool startGet(bool first);
    void getStep(const QvSNMPError& record);
    void finishGet(const QvSNMPError& record);
    bool deliverRow();
    void setCompletion(const QvSNMPError& record);
    // Sends one notifying set of the list as it is; false (with OnSetDone called) when nothing
    // went out.
    bool sendSet(bool refreshAfterSet, const std::string& selection, const std::vector<std::string>* valueSource);
    // Sends the set next in line, if any; false when none went out.
    bool sendQueuedSet();
    // One waiting exchange of the request (GetSync, SetSync), its result.
    bool waitFor(const std::function<bool()>& exchange);
    // The record of a failure the request reported through its error callback.
    QvSNMPError lastError() const;

    QPointer<QWidget> m_form;
    QPointer<QObject> m_sink;
    SinkKind m_sinkKind = SinkKind::None;
    int32_t m_template = 0;
    QvSNMPError m_lastError;
    bool m_haveError = false;

    // A set waiting for the one before it: the list as it was when it was issued.
    struct QueuedSet {
        QvSNMPVarList values;
        bool refreshAfterSet;
        std::string selection;
        bool haveValueSource;
        std::vector<std::string> valueSource;
    };
    std::deque<QueuedSet> m_queuedSets;
    bool m_setOutstanding = false;
    int m_waiting = 0;
    std::vector<int32_t> m_openingAccess;
    bool m_openingAccessTaken = false;
    // Completions still in flight when the binding goes check it and do nothing.
    std::shared_ptr<int> m_alive = std::make_shared<int>(0);
};
