// Placeholders until the install engine lands.
#include "../setup_app.h"

void CSetupApp::initCopyedFileList() {}
BOOL CSetupApp::GetFileVersion(CString& strVersion, CString) { strVersion.Empty(); return FALSE; }
BOOL CSetupApp::CopyFileToAnother(const char*, const char*, const char*, const char*) { return TRUE; }
BOOL CSetupApp::CreateThePath(const char*) { return TRUE; }
BOOL CSetupApp::MyCreatePath(CString) { return TRUE; }
BOOL CSetupApp::CreateShortCut(const char*, const char*, const char*) { return TRUE; }
void CSetupApp::AddTpStartMenu() {}
BOOL CSetupApp::CreateDesktopShortCut() { return TRUE; }
void CSetupApp::RemoveShortcuts() {}
void CSetupApp::WriteReg() {}
void CSetupApp::RepairRunexe(CString&, CString&) {}
void CSetupApp::RunProgram() {}
