#pragma once
// What a gateway keeps of a project, found by the transfer code itself rather
// than by a list of fields: the frames a download of the project sends are
// carried out by the simulated gateway (which stores what each frame writes),
// and the upload reads them back over the in-process link and converts them
// into a project, exactly as an Upload does. A field the download does not
// send, or the upload does not bring back, comes back at its new-project value
// (node names, the settings of protocol modes that are not selected, nodes
// without commands), so it reads the same for every project and never counts
// as a difference.
#include <optional>

#include "compare/project_compare.h"
#include "model/project.h"
#include "serial/identification.h"

namespace korvex {

class PlcBlocks;

// The gateway assumed when none is at hand: the project's own device type with
// the current firmware generation (6.0, which takes every frame there is) and
// the large command capacity.
serial::GatewayIdentity newestGatewayFor(const Project& project);

// The project as a gateway of this identity would hand it back after a
// download; nullopt when the simulated gateway refuses the download's frames or
// the upload does not complete. `plc`: PLC address mode (nullptr: off), as both
// transfers take it.
std::optional<Project> gatewayImage(const Project& project, const serial::GatewayIdentity& identity,
                                    const PlcBlocks* plc);

// Whether Download and Upload take the project over Ethernet (the EtherNet/IP
// kind) rather than over the serial line.
bool usesEthernetTransfer(const Project& project);

// The same over the Ethernet link: the write layout a download sends is taken
// by the simulated Ethernet gateway, and the Ethernet upload reads it back and
// decodes it (into a new project of the same kind and flags, since the upload
// leaves alone what it does not carry), then the byte counts are derived from
// the kept function codes and counts as the Ethernet download does. So only
// what both layouts carry counts: the IP settings, the serial line and timing
// settings of subnets 1 and 2, and their commands, with the nodes rebuilt from
// the commands' slave addresses (node names and nodes without commands drop).
// nullopt when the simulated gateway refuses the block or the upload refuses
// its answer (a subnet of more than the read layout's 48 commands).
std::optional<Project> ethernetGatewayImage(const Project& project);

// For CompareOptions::gatewayImage: a fixed serial identity, or (nullopt) each
// project against the newest gateway it would be transferred to (over Ethernet
// for the EtherNet/IP kind, else the newest serial gateway of its device type).
GatewayImage gatewayImageFunction(std::optional<serial::GatewayIdentity> identity, const PlcBlocks* plc);
// Every project as an Ethernet gateway keeps it.
GatewayImage ethernetGatewayImageFunction();

}  // namespace korvex
