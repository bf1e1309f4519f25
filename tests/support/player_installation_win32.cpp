#include "support/player_installation_win32.h"

#include "installation/installation.h"
#include "support/registry_win32.h"

PlayerInstallation::PlayerInstallation() { RemoveKeys(); }

PlayerInstallation::~PlayerInstallation() { RemoveKeys(); }

void PlayerInstallation::RemoveKeys() {
  DeleteMachineKeyTree(TechnologyKeyPath);
  DeleteMachineKeyTree(MakerKeyPath);
}

bool PlayerInstallation::Install() { return MakeFolders(ComponentFolder()) && SetComponentPath(ComponentFolder()); }

bool PlayerInstallation::SetComponentPath(const std::string& value) {
  return SetMachineString(PlayerKeyPath, ComponentPathValueName, value);
}

bool PlayerInstallation::SetApplicationPath(const std::string& value) {
  return SetMachineString(MakerKeyPath, ApplicationPathValueName, value);
}
