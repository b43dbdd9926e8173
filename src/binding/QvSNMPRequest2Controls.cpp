#include "binding/QvSNMPRequest2Controls.h"

#include "binding/Controls.h"
#include "platform/Dialogs.h"
#include "snmp/ErrorCatalogue.h"
#include "platform/ExceptionGuard.h"
#include "binding/QvStatusBar.h"
#include "binding/WindowWaits.h"

#include <QLocale>
#include <QPlainTextEdit>
#include <QTime>

#include <exception>

namespace {

// Clears Busy when an exception leaves an exchange.
class BusyScope {
public:
    explicit BusyScope(bool& busy) : m_busy(busy) { m_busy = true; }
    ~BusyScope() { m_busy = false; }

private:
    bool& m_busy;
};

// Counts the binding's waiting Get or Set under way.
class WaitingScope {
public:
    explicit WaitingScope(int& depth) : m_depth(depth) { ++m_depth; }
    ~WaitingScope() { --m_depth; }

private:
    int& m_depth;
};

// "hh:nn:ss" on the 12-hour clock followed by the locale's AM or PM text.
std::string statusTime()
{
    const QTime now = QTime::currentTime();
    const int hour = now.hour() % 12 == 0 ? 12 : now.hour() % 12;
    const QLocale locale;
    const QString text = QString("%1:%2:%3 %4")
                             .arg(hour, 2, 10, QLatin1Char('0'))
                             .arg(now.minute(), 2, 10, QLatin1Char('0'))
                             .arg(now.second(), 2, 10, QLatin1Char('0'))
                             .arg(now.hour() < 12 ? locale.amText() : locale.pmText());
    return text.toStdString();
}

} // namespace

QvSNMPRequest2Controls::QvSNMPRequest2Controls(QWidget* form) : m_form(form)
{
    // The request reports failures of waiting exchanges and of sending only through this
    // callback; keep the record so the binding can show it.
    request.errorCallback = [this](const QvSNMPError& record) {
        m_lastError = record;
        m_haveError = true;
    };
}

QvSNMPRequest2Controls::~QvSNMPRequest2Controls()
{
    m_alive.reset();
    request.errorCallback = nullptr;
}

void QvSNMPRequest2Controls::SetStatusSink(QPlainTextEdit* memo)
{
    m_sink = memo;
    m_sinkKind = memo ? SinkKind::Memo : SinkKind::None;
}

void QvSNMPRequest2Controls::SetStatusSink(QvStatusBar* statusBar)
{
    m_sink = statusBar;
    m_sinkKind = statusBar ? SinkKind::Bar : SinkKind::None;
}

void QvSNMPRequest2Controls::SetStatusSink(QvStatusPanel* panel)
{
    m_sink = panel;
    m_sinkKind = panel ? SinkKind::Panel : SinkKind::None;
}

void QvSNMPRequest2Controls::ShowStatus(const std::string& errorText)
{
    if (!m_sink)
        return;
    std::string line = Message(MessageTable::SnmpMsg, m_template == 0 ? 1 : 2);
    const std::string& description = request.list.description;
    if (description.empty()) {
        // Without a list name the line loses " Request:[VARLIST]" from the blank after
        // "[ERROR]" on; a reworded template without that blank loses only the marker.
        const size_t marker = line.find("[VARLIST]");
        const size_t error = line.find("[ERROR]");
        if (marker != std::string::npos) {
            size_t from = marker;
            if (error != std::string::npos && error + 7 < marker && line[error + 7] == ' ')
                from = error + 7;
            line.erase(from, marker + 9 - from);
        }
    } else {
        line = FillMarker(line, "[VARLIST]", description);
    }
    // The time first: an error text that holds a marker stays as it is.
    line = FillMarker(line, "[TIME]", statusTime());
    line = FillMarker(line, "[ERROR]", errorText);

    const QString text = QString::fromStdString(line);
    switch (m_sinkKind) {
    case SinkKind::Memo:
        static_cast<QPlainTextEdit*>(m_sink.data())->appendPlainText(text);
        break;
    case SinkKind::Bar:
        static_cast<QvStatusBar*>(m_sink.data())->SetSimpleText(text);
        break;
    case SinkKind::Panel:
        static_cast<QvStatusPanel*>(m_sink.data())->SetText(text);
        break;
    case SinkKind::None:
        break;
    }
}

void QvSNMPRequest2Controls::reportError(int32_t statusTemplate, const QvSNMPError& record)
{
    m_template = statusTemplate;
    if (m_sink)
        ShowStatus(record.message);
    else
        Dialogs::message(m_form, QString::fromStdString(record.message), ExecutableName(), DialogButtons::Ok);
}

void QvSNMPRequest2Controls::ReportGetError(const QvSNMPError& record) { reportError(0, record); }

void QvSNMPRequest2Controls::ReportSetError(const QvSNMPError& record) { reportError(1, record); }

void QvSNMPRequest2Controls::showFailure(const std::string& text)
{
    QvSNMPError record;
    record.message = text;
    reportError(m_template, record);
}

bool QvSNMPRequest2Controls::RowAccepted()
{
    std::string condition;
    if (conditionRequest && !rowCondition.empty())
        condition = conditionRequest->SubstituteValues(rowCondition, true, "#");
    return request.Accepts(condition) && request.Accepts(request.filterExpression);
}

bool QvSNMPRequest2Controls::waitFor(const std::function<bool()>& exchange)
{
    // What would act on the window in the middle of this handler waits for the answer too.
    const WindowWaits::Scope waits(m_form);
    return exchange();
}

QvSNMPError QvSNMPRequest2Controls::lastError() const
{
    if (m_haveError)
        return m_lastError;
    QvSNMPError record;
    record.code = -528;
    record.message = QvSnmpMessage(-528);
    return record;
}

// ---- get ----

void QvSNMPRequest2Controls::RestoreOpeningAccess()
{
    QvSNMPVarList& list = request.list;
    for (size_t i = 0; i < m_openingAccess.size() && i < static_cast<size_t>(list.Count()); ++i)
        list.Item(static_cast<int32_t>(i)).access = m_openingAccess[i];
}

bool QvSNMPRequest2Controls::Get()
{
    if (!m_openingAccessTaken) {
        m_openingAccessTaken = true;
        for (int32_t i = 0; i < request.list.Count(); ++i)
            m_openingAccess.push_back(request.list.Item(i).access);
    }
    m_template = 0;
    BeforeGet();
    m_haveError = false;

    if (RequestMode == kWaiting) {
        bool ok = true;
        {
            const WaitingScope waiting(m_waiting);
            BusyScope busy(Busy);
            bool more = waitFor([&] { return request.GetSync(true, ok); });
            if (!request.list.IsTable()) {
                // Also after a failure: the items then hold "(NULL)" and the controls show it.
                if (RowAccepted())
                    ValuesArrived();
            } else {
                while (more) {
                    if (RowAccepted())
                        ValuesArrived();
                    more = waitFor([&] { return request.GetSync(false, ok); });
                }
            }
            GetEnded();
            AfterGet();
        }
        // A failed waiting exchange shows as a status line where the page has a sink; without
        // one the page learns of it from the result alone (no message box of its own).
        if (!ok && m_sink)
            ReportGetError(lastError());
        return ok;
    }

    Busy = true;
    if (!request.alive) {
        Busy = false;
        return true;
    }
    startGet(true);
    return true;
}

QvSNMPRequest::Completion QvSNMPRequest2Controls::completion(void (QvSNMPRequest2Controls::*step)(const QvSNMPError&))
{
    std::weak_ptr<int> alive = m_alive;
    return [this, alive, step](void*, const QvSNMPError& record, QvSNMPVarList&) {
        if (alive.expired())
            return;
        // Not in the middle of a handler of the window that waits for an exchange of its own.
        WindowWaits::WhenNotWaiting(m_form, [this, alive, step, record] {
            if (alive.expired())
                return;
            // Completions run from the event loop: nothing may escape into it.
            RunGuarded([&] { (this->*step)(record); }, m_form);
        });
    };
}

void QvSNMPRequest2Controls::CutHandlers()
{
    OnGetDone = nullptr;
    OnSetDone = nullptr;
}

void QvSNMPRequest2Controls::Abandon()
{
    CutHandlers();
    request.alive = false;
    request.Abandon();
    m_queuedSets.clear();
    m_setOutstanding = false;
    Busy = false;
}

bool QvSNMPRequest2Controls::startGet(bool first)
{
    const int32_t before = request.outstanding;
    m_haveError = false;
    try {
        request.GetAsync(completion(&QvSNMPRequest2Controls::getStep), this, first);
    } catch (...) {
        GetEnded();
        Busy = false;
        throw;
    }
    if (request.outstanding > before)
        return true;
    // Nothing went out, so no completion will come: end the get here.
    GetEnded();
    Busy = false;
    m_template = 0;
    if (OnGetDone)
        OnGetDone(*this, lastError());
    return false;
}

bool QvSNMPRequest2Controls::deliverRow()
{
    try {
        if (RowAccepted())
            ValuesArrived();
        return true;
    } catch (const std::exception& error) {
        GetEnded();
        Busy = false;
        m_template = 0;
        showFailure(error.what());
        return false;
    }
}

void QvSNMPRequest2Controls::getStep(const QvSNMPError& record)
{
    if (record.code != 0) {
        GetEnded();
        Busy = false;
        m_template = 0;
        if (OnGetDone)
            OnGetDone(*this, record);
        return;
    }
    if (!request.list.IsTable()) {
        if (deliverRow())
            finishGet(record);
        return;
    }
    if (!record.finished) {
        if (!deliverRow())
            return;
        if (request.alive) {
            try {
                startGet(false);
            } catch (const std::exception& error) {
                GetEnded();
                Busy = false;
                m_template = 0;
                showFailure(error.what());
            }
            return;
        }
    }
    finishGet(record);
}

void QvSNMPRequest2Controls::finishGet(const QvSNMPError& record)
{
    GetEnded();
    AfterGet();
    Busy = false;
    m_template = 0;
    if (OnGetDone)
        OnGetDone(*this, record);
}

// ---- set ----

bool QvSNMPRequest2Controls::Set(bool refreshAfterSet, bool collect, const std::string& selection,
                                 const std::vector<std::string>* valueSource)
{
    m_template = 1;
    RefreshAfterSet = refreshAfterSet;
    BeforeSet();
    if (collect)
        CollectValues();
    m_haveError = false;

    if (RequestMode == kWaiting) {
        bool ok = true;
        {
            const WaitingScope waiting(m_waiting);
            BusyScope busy(Busy);
            waitFor([&] { return request.SetSync(ok, false, selection, valueSource); });
            AfterSet();
        }
        if (!ok && m_sink)
            ReportSetError(lastError());
        if (request.list.IsTable() && RefreshAfterSet)
            Get();
        return ok;
    }

    Busy = true;
    if (!request.alive) {
        Busy = false;
        return true;
    }
    if (SetPending()) {
        // A row cleared and then rewritten must not arrive the other way round.
        m_queuedSets.push_back({QvSNMPVarList(request.list), refreshAfterSet, selection, valueSource != nullptr,
                                valueSource ? *valueSource : std::vector<std::string>{}});
        return true;
    }
    sendSet(refreshAfterSet, selection, valueSource);
    return true;
}

bool QvSNMPRequest2Controls::sendSet(bool refreshAfterSet, const std::string& selection,
                                     const std::vector<std::string>* valueSource)
{
    RefreshAfterSet = refreshAfterSet;
    const int32_t before = request.outstanding;
    try {
        request.SetAsync(completion(&QvSNMPRequest2Controls::setCompletion), this, false, selection, valueSource);
    } catch (...) {
        Busy = false;
        m_queuedSets.clear();
        throw;
    }
    if (request.outstanding > before) {
        m_setOutstanding = true;
        return true;
    }
    // Nothing went out: the set ends here.
    Busy = !m_queuedSets.empty();
    m_template = 1;
    if (OnSetDone)
        OnSetDone(*this, lastError());
    return false;
}

bool QvSNMPRequest2Controls::sendQueuedSet()
{
    while (!m_queuedSets.empty() && request.alive) {
        QueuedSet next = m_queuedSets.front();
        m_queuedSets.pop_front();
        Busy = true;
        m_haveError = false;
        // The values as they were when the set was issued; the list then returns to what
        // the page has put there since.
        const QvSNMPVarList current(request.list);
        request.list.Assign(next.values);
        bool sent = false;
        try {
            sent = sendSet(next.refreshAfterSet, next.selection, next.haveValueSource ? &next.valueSource : nullptr);
        } catch (...) {
            request.list.Assign(current);
            throw;
        }
        request.list.Assign(current);
        if (sent)
            return true;
    }
    // A binding that stopped sending drops what waits.
    m_queuedSets.clear();
    return false;
}

void QvSNMPRequest2Controls::setCompletion(const QvSNMPError& record)
{
    m_setOutstanding = false;
    if (record.code == 0)
        AfterSet();
    const bool refresh = record.code == 0 && request.list.IsTable() && RefreshAfterSet;
    // Still busy while a set waits for its turn.
    Busy = !m_queuedSets.empty();
    m_template = 1;
    if (OnSetDone)
        OnSetDone(*this, record);
    // Only the last of a series reads the table again.
    if (!m_queuedSets.empty())
        sendQueuedSet();
    else if (refresh)
        Get();
}
