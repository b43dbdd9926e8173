// A device whose firmware lacks an object (vta-devsim --without OID) answers for it as for any
// object it does not have and runs on without it. Every object the module uses, and every
// group above them, is left out once: each by a device of its own, the devices of one batch
// served by one process so that the whole list takes seconds.
#include "support/DevsimAgent.h"
#include "support/DevsimObjects.h"
#include "support/DevsimSite.h"
#include "support/SnmpLibrary.h"

#include <gtest/gtest.h>

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace {

using Oid = std::vector<oid>;

const Oid kSystemGroup = {1, 3, 6, 1, 2, 1, 1};
const Oid kPrivateRoot = {1, 3, 6, 1, 4, 1, 32473, 10, 37, 24};

Oid Parse(const QString& dotted)
{
    Oid arcs;
    for (const QString& arc : dotted.split('.', Qt::SkipEmptyParts))
        arcs.push_back(arc.toULong());
    return arcs;
}

QString Dotted(const Oid& arcs)
{
    QStringList parts;
    for (oid arc : arcs)
        parts << QString::number(arc);
    return parts.join('.');
}

bool Below(const Oid& value, const Oid& prefix)
{
    return value.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), value.begin());
}

struct Reply {
    bool answered = false;
    long status = 0;
    std::vector<std::pair<Oid, u_char>> bindings;  // name and type of each answered binding
};

// One request (get or get-next) in SNMPv1 or v2c with the read community, one try of a second.
Reply Ask(long version, const QString& peer, int command, const std::vector<Oid>& names)
{
    StartSnmpLibraryOnce();
    netsnmp_session settings;
    snmp_sess_init(&settings);
    const std::string peerName = peer.toStdString();
    settings.peername = const_cast<char*>(peerName.c_str());
    settings.version = version;
    settings.community = reinterpret_cast<u_char*>(const_cast<char*>("public"));
    settings.community_len = 6;
    settings.timeout = 1000000;
    settings.retries = 0;
    Reply reply;
    void* session = snmp_sess_open(&settings);
    if (!session)
        return reply;
    netsnmp_pdu* request = snmp_pdu_create(command);
    for (const Oid& name : names)
        snmp_add_null_var(request, name.data(), name.size());
    netsnmp_pdu* response = nullptr;
    if (snmp_sess_synch_response(session, request, &response) == STAT_SUCCESS && response) {
        reply.answered = true;
        reply.status = response->errstat;
        for (netsnmp_variable_list* vb = response->variables; vb; vb = vb->next_variable)
            reply.bindings.emplace_back(Oid(vb->name, vb->name + vb->name_length), vb->type);
    }
    if (response)
        snmp_free_pdu(response);
    snmp_sess_close(session);
    return reply;
}

// What is left out: every object of the list (a scalar or a column, its instance's last arc
// cut off), and every group above the objects up to where the device's objects begin.
std::set<Oid> LeftOut(const std::vector<ListedObject>& objects)
{
    std::set<Oid> subtrees;
    for (const ListedObject& object : objects) {
        Oid subtree = Parse(object.oid);
        if (!object.column)
            subtree.pop_back();
        const Oid& root = Below(subtree, kSystemGroup) ? kSystemGroup : kPrivateRoot;
        for (; subtree.size() >= root.size(); subtree.pop_back())
            subtrees.insert(subtree);
    }
    return subtrees;
}

// The faults of one device that lacks `subtree`, as text; empty when it behaves.
std::string Faults(const QString& peer, const Oid& subtree, const std::vector<ListedObject>& objects)
{
    std::vector<Oid> gone;
    Oid kept;
    for (const ListedObject& object : objects) {
        const Oid instance = Parse(object.oid);
        if (object.column)
            continue;  // its rows vary: the walk below shows the column is passed by
        if (Below(instance, subtree))
            gone.push_back(instance);
        else if (kept.empty())
            kept = instance;
    }
    std::string faults;
    // At most a dozen bindings a request keeps the answer well inside one datagram.
    for (size_t from = 0; from < gone.size(); from += 12) {
        const std::vector<Oid> part(gone.begin() + from, gone.begin() + std::min(gone.size(), from + 12));
        const Reply v2c = Ask(SNMP_VERSION_2c, peer, SNMP_MSG_GET, part);
        if (!v2c.answered || v2c.status != SNMP_ERR_NOERROR || v2c.bindings.size() != part.size()) {
            faults += " the v2c get of " + Dotted(part.front()).toStdString() + " ... was not answered binding by binding;";
            continue;
        }
        for (const auto& [name, type] : v2c.bindings)
            if (type != SNMP_NOSUCHOBJECT)
                faults += " v2c " + Dotted(name).toStdString() + " is not noSuchObject;";
    }
    if (!gone.empty()) {
        const Reply v1 = Ask(SNMP_VERSION_1, peer, SNMP_MSG_GET, {gone.front()});
        if (!v1.answered || v1.status != SNMP_ERR_NOSUCHNAME)
            faults += " v1 " + Dotted(gone.front()).toStdString() + " is not noSuchName;";
    }
    // A walk passes it by.
    const Reply next = Ask(SNMP_VERSION_2c, peer, SNMP_MSG_GETNEXT, {subtree});
    if (!next.answered || next.bindings.size() != 1 ||
        (next.bindings.front().second != SNMP_ENDOFMIBVIEW && Below(next.bindings.front().first, subtree)))
        faults += " a get-next of it does not pass it by;";
    // What it still has, it serves.
    const Reply other = Ask(SNMP_VERSION_2c, peer, SNMP_MSG_GET, {kept});
    if (!other.answered || other.bindings.size() != 1 || other.bindings.front().second == SNMP_NOSUCHOBJECT ||
        other.bindings.front().second == SNMP_NOSUCHINSTANCE)
        faults += " it no longer serves " + Dotted(kept).toStdString() + ";";
    return faults;
}

TEST(DevsimWithout, EveryObjectAndGroupLeftOutAloneIsAbsentAndTheDeviceRunsOn)
{
    const std::vector<ListedObject> objects = ObjectsTheModuleUses();
    ASSERT_GT(objects.size(), 200u) << "tests/integration/devsim_variables.txt is missing or short";
    const std::set<Oid> leftOut = LeftOut(objects);
    const std::vector<Oid> subtrees(leftOut.begin(), leftOut.end());
    // Among them the status objects and groups a restart copies into, and the restart command.
    for (const char* status : {"4.1.1", "4.1.1.1", "4.1.2.1.1", "4.3.1.1.7", "3.2.1"})
        ASSERT_TRUE(leftOut.count(Parse(Dotted(kPrivateRoot) + "." + status))) << status;

    const size_t batch = 200;  // a site's devices share one network of 254 addresses
    for (size_t from = 0; from < subtrees.size(); from += batch) {
        const size_t to = std::min(subtrees.size(), from + batch);
        std::vector<QStringList> devices;
        for (size_t i = from; i < to; ++i)
            devices.push_back({"--without", Dotted(subtrees[i])});
        DevsimSite site(devices);
        if (!site.start()) {
            // Name the objects whose absence it does not survive, each with a device of its own.
            for (size_t i = from; i < to; ++i) {
                DevsimAgent alone({"--without", Dotted(subtrees[i])});
                EXPECT_TRUE(alone.start()) << "vta-devsim --without " << Dotted(subtrees[i]).toStdString()
                                           << ": " << alone.error();
            }
            continue;
        }
        for (size_t i = from; i < to; ++i) {
            const QString peer = "udp:" + site.address(i - from) + ":" + QString::number(site.port());
            EXPECT_EQ(Faults(peer, subtrees[i], objects), "") << "--without " << Dotted(subtrees[i]).toStdString();
        }
    }
}

}  // namespace
