#include "product_catalogue.h"

CString BackupName(const CString& installedVersion) {
    return kBackupPrefix + installedVersion + kBackupSuffix;
}
