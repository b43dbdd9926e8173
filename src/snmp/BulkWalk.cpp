#include "snmp/BulkWalk.h"

#include <algorithm>

namespace {

constexpr int kStatusTooBig = 1;
constexpr int kLastPduErrorStatus = 19;

// Roughly what a binding takes in a datagram: its name, its value and their headers.
size_t encodedSize(const SnmpVarBind& vb)
{
    return vb.oid.size() + 2 + vb.bytes.size() + vb.oidValue.size() + 8 + 6;
}

} // namespace

void BulkWalk::Restart() { m_chains.clear(); }

uint32_t BulkWalk::OpeningRepetitions(size_t width) const
{
    // A table's binding: its name and a short value, as most of the device's columns hold.
    constexpr size_t kBytesPerBinding = 40;
    const size_t fitting = kAnswerBudget / (std::max<size_t>(width, 1) * kBytesPerBinding);
    return std::max(m_repetitions, static_cast<uint32_t>(std::min<size_t>(fitting, m_ceiling)));
}

bool BulkWalk::answerFrom(const Chain& chain, const OidValue& oid, SnmpVarBind& answer)
{
    if (!chain.known || oid < chain.start)
        return false;
    const auto above = std::upper_bound(chain.links.begin(), chain.links.end(), oid,
                                        [](const OidValue& name, const SnmpVarBind& link) { return name < link.oid; });
    if (above != chain.links.end()) {
        answer = *above;
        return true;
    }
    if (!chain.endOfView)
        return false;
    // Past the end of the device's view a get-next names what was asked.
    answer = SnmpVarBind();
    answer.oid = oid;
    answer.type = SnmpType::EndOfMibView;
    return true;
}

bool BulkWalk::Answer(const std::vector<SnmpVarBind>& asked, std::vector<SnmpVarBind>& answer,
                      std::vector<size_t>& missing) const
{
    answer.assign(asked.size(), SnmpVarBind());
    missing.clear();
    for (size_t p = 0; p < asked.size(); ++p)
        if (p >= m_chains.size() || !answerFrom(m_chains[p], asked[p].oid, answer[p]))
            missing.push_back(p);
    return missing.empty();
}

std::vector<SnmpVarBind> BulkWalk::Question(const std::vector<SnmpVarBind>& asked, const std::vector<size_t>& missing)
{
    std::vector<SnmpVarBind> question;
    for (size_t p : missing) {
        SnmpVarBind vb;
        vb.oid = asked[p].oid;
        question.push_back(std::move(vb));
    }
    return question;
}

void BulkWalk::shrinkTo(uint32_t repetitions)
{
    m_repetitions = std::max<uint32_t>(1, repetitions);
    m_ceiling = m_repetitions;
}

BulkWalk::Outcome BulkWalk::Absorb(const std::vector<SnmpVarBind>& question, const std::vector<size_t>& missing,
                                   const SnmpResponse& response)
{
    if (response.status == kStatusTooBig && m_repetitions > 1) {
        shrinkTo(m_repetitions / 2);
        return Outcome::AskAgain;
    }
    if (response.status >= kStatusTooBig && response.status <= kLastPduErrorStatus)
        return Outcome::StepByStep;
    if (response.status != 0)
        return Outcome::Failed;

    const size_t width = question.size();
    const std::vector<SnmpVarBind>& vbs = response.vbs;
    if (width == 0 || vbs.size() > width * m_repetitions)
        return Outcome::Refused;
    // The answer is row after row: binding j answers the question's binding j % width.
    std::vector<Chain> fresh(width);
    for (size_t c = 0; c < width; ++c) {
        fresh[c].start = question[c].oid;
        fresh[c].known = true;
    }
    size_t bytes = 0;
    for (size_t j = 0; j < vbs.size(); ++j) {
        Chain& chain = fresh[j % width];
        const SnmpVarBind& vb = vbs[j];
        bytes += encodedSize(vb);
        if (vb.type == SnmpType::EndOfMibView) {
            chain.endOfView = true;
            continue;
        }
        // Nothing follows the end of the view; a get-next never answers with the other two.
        if (chain.endOfView || vb.isException())
            return Outcome::Refused;
        const OidValue& last = chain.links.empty() ? chain.start : chain.links.back().oid;
        if (!(last < vb.oid))
            return Outcome::Refused;  // no progress
        chain.links.push_back(vb);
    }
    if (vbs.empty()) {
        if (m_repetitions == 1)
            return Outcome::Refused;
        shrinkTo(1);
        return Outcome::AskAgain;
    }

    if (m_chains.size() < missing.back() + 1)
        m_chains.resize(missing.back() + 1);
    bool whole = true;
    for (size_t c = 0; c < width; ++c) {
        if (!fresh[c].endOfView && fresh[c].links.size() < m_repetitions)
            whole = false;
        // A binding the answer did not reach is asked again.
        if (fresh[c].endOfView || !fresh[c].links.empty())
            m_chains[missing[c]] = std::move(fresh[c]);
    }
    if (!whole) {
        // Cut short to what the device sends at most.
        shrinkTo(static_cast<uint32_t>(vbs.size() / width));
    } else if (bytes * 2 <= kAnswerBudget && m_repetitions * 2 <= m_ceiling) {
        m_repetitions *= 2;
    }
    return Outcome::Read;
}
