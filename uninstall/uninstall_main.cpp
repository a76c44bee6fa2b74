#include "uninstall_app.h"

CUninstallApp theApp;
