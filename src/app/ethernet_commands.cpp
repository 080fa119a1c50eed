#include "app/ethernet_commands.h"

#include "app/ethernet_config_dialog.h"
#include "app/ethernet_download_dialog.h"
#include "app/ethernet_upload_dialog.h"
#include "app/mapping_commands.h"
#include "app/search_dialog.h"
#include "serial/download_checks.h"

namespace korvex::app {

void runEthernetConnection(QWidget* parent, net::EthernetTarget& target) {
    EthernetConfigDialog dialog(parent, target);
    dialog.exec();
}

bool runEthernetDownload(QWidget* parent, Project& project, MappingProgramState& mapping, net::EthernetTarget& target,
                         Operator& op) {
    if (!serial::checkBeforeDownload(project, mapping.mapping, mapping.plc.active(), op)) return true;
    {
        SearchDialog search(parent, target);
        if (search.exec() != QDialog::Accepted) return true;
    }
    if (!net::remoteConfigPermitted(target, op)) return true;
    EthernetDownloadDialog dialog(parent, project, mapping, target.targetAddress, op);
    dialog.exec();
    return true;
}

bool runEthernetUpload(QWidget* parent, Project& project, net::EthernetTarget& target, Operator& op) {
    {
        SearchDialog search(parent, target);
        if (search.exec() != QDialog::Accepted) return false;
    }
    EthernetUploadDialog dialog(parent, project, target.targetAddress, op);
    dialog.exec();
    return dialog.uploaded();
}

}  // namespace korvex::app
