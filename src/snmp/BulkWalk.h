#pragma once

#include "snmp/SnmpTypes.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

// What a table walk has read ahead with get-bulk, to answer its get-next steps without asking
// the device again. Each asked binding (a column) keeps the chain of successors the device
// named from where it was asked: start, next(start), next(next(start)), ... Nothing lies
// between two neighbours of a chain, so the get-next answer to any OID from start up to the
// chain's last link is the first link above it: a walk gets from the chains exactly the
// answers the device would have given it row by row, whatever it asks (a column that ended
// is asked again at its row's index, which may lie anywhere in the chain).
//
// The repetition count grows while answers come whole and shrinks when the device cuts an
// answer short or refuses it as too big.
class BulkWalk {
public:
    static constexpr uint32_t kFirstRepetitions = 10;
    static constexpr uint32_t kMostRepetitions = 100;
    // An answer that grew past this many bytes is not asked to grow further.
    static constexpr size_t kAnswerBudget = 8192;

    // A new walk: what was read ahead is forgotten (the repetition count learnt is kept).
    void Restart();

    // The get-next answer to `asked` from what was read ahead. False when some bindings need
    // asking: their positions in `missing`.
    bool Answer(const std::vector<SnmpVarBind>& asked, std::vector<SnmpVarBind>& answer,
                std::vector<size_t>& missing) const;
    // The get-bulk bindings that ask for the missing positions.
    static std::vector<SnmpVarBind> Question(const std::vector<SnmpVarBind>& asked, const std::vector<size_t>& missing);
    uint32_t Repetitions() const { return m_repetitions; }
    // The repetition count of a walk's first get-bulk asked ahead with other reads: as many
    // rows of `width` columns as an answer within the budget may hold, so that a page's table
    // usually comes whole with its other opening reads.
    uint32_t OpeningRepetitions(size_t width) const;
    // An answer to a get-bulk asked with more repetitions than the walk's is taken as asked
    // with those.
    void AskedWith(uint32_t repetitions) { m_repetitions = std::clamp<uint32_t>(repetitions, 1, m_ceiling); }

    enum class Outcome {
        Read,      // the chains of the missing positions hold the answer now
        AskAgain,  // cut short or too big: ask again with the smaller repetition count
        StepByStep,// this step goes out as a get-next (the device cannot answer it in bulk)
        Refused,   // a bad answer (an error, no progress, exceptions get-next never gives):
                   // the device is asked with get-next from now on
        Failed,    // no answer (time-out, security, transport): as the get-next would have ended
    };
    // Takes the device's answer to Question(asked, missing) into the chains.
    Outcome Absorb(const std::vector<SnmpVarBind>& question, const std::vector<size_t>& missing,
                   const SnmpResponse& response);

private:
    struct Chain {
        OidValue start;
        std::vector<SnmpVarBind> links;  // the successors in order
        bool endOfView = false;          // nothing follows the last link (or start)
        bool known = false;
    };
    // The get-next answer to oid from the chain; false when the chain does not reach it.
    static bool answerFrom(const Chain& chain, const OidValue& oid, SnmpVarBind& answer);
    void shrinkTo(uint32_t repetitions);

    std::vector<Chain> m_chains;  // by position of the asked binding
    uint32_t m_repetitions = kFirstRepetitions;
    uint32_t m_ceiling = kMostRepetitions;  // what the device has shown it takes at most
};
