#pragma once

#include "Device.h"
#include "Oid.h"

#include <string>
#include <vector>

struct UsmUser {
    std::string name;
    std::string authProtocol;  // "MD5" or "SHA"
    std::string authPassword;
    std::string privProtocol;  // "DES", "AES" or empty (authNoPriv)
    std::string privPassword;
};

struct RefusedSet {
    Oid instance;
    int status = 0;
};

struct Options {
    std::string address = "127.0.0.1";
    int port = 0;
    std::string readCommunity = "public";
    std::string writeCommunity = "private";
    std::vector<UsmUser> users;
    std::string stateOut;
    std::string stateIn;
    int dropPercent = 0;
    std::vector<Oid> dropOnce;  // drop the first request naming an object below each of these
    int delayMs = 0;
    std::vector<RefusedSet> refusedSets;
    std::vector<Oid> hangAfterSets;  // after answering a set of one of these, answer nothing more
    std::string lanAddress;  // "ADDRESS/MASK": the device's configured LAN address at start
    std::string lanMask;
    bool verbose = false;
    int copies = 1;  // --devices: this device on this many consecutive addresses
    DeviceSettings device;
};

// What the command line asks for besides running: --help or --version (the caller prints
// HelpText or the version and ends).
enum class InfoRequest { None, Help, Version };

// Parses the command line. Returns false with a message in `error` for bad input; sets
// `info` when --help or --version was asked for.
bool ParseOptions(int argc, char** argv, Options& options, InfoRequest& info, std::string& error);
std::string HelpText();
// The whole command line: one device, or several separated by "--next-device", each with
// its own options; "--devices N" stands for N copies on consecutive addresses. Every device
// gets its own address and port.
bool ParseSite(int argc, char** argv, std::vector<Options>& devices, InfoRequest& info, std::string& error);
// The SNMPv3 users the simulator has when none are given on the command line.
std::vector<UsmUser> DefaultUsers();
