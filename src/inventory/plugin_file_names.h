#pragma once
// The player's files in a Netscape plug-ins folder, told apart from other
// browsers' plug-ins by the leading characters of their names, compared
// without regard to case.

// True when fileName (a bare file name) begins with "NpQuillframe3" and its
// extension begins with ".dll", or begins with "Quillframe3.class" or with
// "QFX3 runtime". Only these leading characters count: npquillframe3x.DLL and
// Quillframe3.classes are the player's too.
bool IsPlayerPluginFileName(const char* fileName);
