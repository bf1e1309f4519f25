# Sourced: a sample player installation in the Wine prefix $WINEPREFIX, for
# the run command and the pictures of the windows.
#   sample_installation_make <fixtures folder of a Windows build>
# The player's component folder "C:\Program Files\Quillframe\Quillframe3"
# with component libraries (the build's fixture libraries, which carry
# product versions) in the folder and its subfolders (one named outside the
# ANSI code page, "Ωmega.dll", as players with localised add-ons have), an
# update version list
# and other files in the cache "Resources", the two settings files, the
# player key with "Component Path", and the maker key with "Application
# Path". The settings files are kept from run to run, so that what one run
# changes the next one sees, and written again when missing or without their
# section; everything else is put back as it was.

sample_installation_make() {
  local fixtures=$1
  local drive_c="$WINEPREFIX/drive_c"
  local components="$drive_c/Program Files/Quillframe/Quillframe3"
  mkdir -p "$components/Components" "$components/NewComponents" "$components/Plugins" \
    "$components/Resources/Cache" "$drive_c/Program Files/Corvalent/Media Player"

  # name in the component folder <- fixture library (its product version)
  local library
  while read -r library fixture; do
    cp -f "$fixtures/$fixture" "$components/$library"
  done <<'LIBRARIES'
NpQuillframe3.dll VersionSpaced.dll
Components/QFXCore.dll VersionPlain.dll
Components/QFXCodec.dll VersionNext.dll
Components/QFXAudio.dll VersionSpaced.dll
NewComponents/QFXRender.dll VersionHighest.dll
Plugins/QFXStream.dll NoVersion.dll
Components/Ωmega.dll VersionPlain.dll
LIBRARIES

  printf '%s\r\n' \
    '[Fragment1]' 'FragmentFileName = NpQuillframe3.dll' 'FragmentVersion_Win = 50331931' \
    '[Fragment2]' 'FragmentFileName = QFXCore.dll' 'FragmentVersion_Win = 16909060' \
    '[Fragment3]' 'FragmentFileName = QFXCodec.dll' 'FragmentVersion_Win = 50331932' \
    '[Fragment4]' 'FragmentFileName = QFXAudio.dll' 'FragmentVersion_Win = 50331931' \
    '[Fragment5]' 'FragmentFileName = QFXRender.dll' 'FragmentVersion_Win = 50397184' \
    >"$components/Resources/UpdateVersionList_v2.txt"
  printf 'cached media\n' >"$components/Resources/Cache/clip0001.dat"

  grep -qs '^\[ComponentMgrOptions\]' "$components/QuillframeConfig.ini" ||
    printf '%s\r\n' '[ComponentMgrOptions]' 'CheckForUpdates = 1' 'LastUpdateCheckTime = 0' 'BroadcastKey = 1' '' \
      >"$components/QuillframeConfig.ini"
  grep -qs '^\[Download Sites\]' "$components/QFXDownloadSites.txt" ||
    printf '%s\r\n' '[Download Sites]' 'site = https://components.corvalent.com/QuillframeComponents/' \
      'site = https://mirror.example.com/QuillframeComponents/' '' >"$components/QFXDownloadSites.txt"
  wine reg add 'HKLM\Software\Quillframe\Quillframe3' /reg:32 /v 'Component Path' /t REG_SZ \
    /d 'C:\Program Files\Quillframe\Quillframe3' /f </dev/null >/dev/null 2>&1
  wine reg add 'HKLM\Software\Corvalent' /reg:32 /v 'Application Path' /t REG_SZ \
    /d 'C:\Program Files\Corvalent\Media Player' /f </dev/null >/dev/null 2>&1
}

# Takes the sample installation away again: the player's and the maker's
# keys and the folders.
sample_installation_remove() {
  wine reg delete 'HKLM\Software\Quillframe' /reg:32 /f </dev/null >/dev/null 2>&1 || true
  wine reg delete 'HKLM\Software\Corvalent' /reg:32 /f </dev/null >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX/drive_c/Program Files/Quillframe" "$WINEPREFIX/drive_c/Program Files/Corvalent"
}
