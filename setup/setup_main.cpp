#include "common/system_seam.h"
#include "setup_app.h"

CSetupApp theApp;
