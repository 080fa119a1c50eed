#pragma once
// The Ethernet branches of the Tools commands: "Ethernet Connection ", and
// Download and Upload for an EtherNet/IP project (search, permission, transfer
// window).
#include "model/project.h"
#include "net/ethernet_target.h"

class QWidget;

namespace korvex {
class Operator;
}

namespace korvex::app {

struct MappingProgramState;

void runEthernetConnection(QWidget* parent, net::EthernetTarget& target);
// The common download checks, the search, the permission, then the download
// window. Returns whether the project may have changed (checks that repair
// mappings, byte counts).
bool runEthernetDownload(QWidget* parent, Project& project, MappingProgramState& mapping, net::EthernetTarget& target,
                         Operator& op);
// The search, then the upload window. True when the project was replaced.
bool runEthernetUpload(QWidget* parent, Project& project, net::EthernetTarget& target, Operator& op);

}  // namespace korvex::app
