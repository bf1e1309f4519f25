#include "shell/status_document.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(StatusDocumentTest, AnInstallationWithEveryPart) {
  InstallationState state;
  state.controlPanelVersion = "3.0.6.0";
  state.playerRegistered = true;
  state.componentPath = "C:\\P";
  state.componentFolderExists = true;
  state.components = {{"C:\\P\\a.dll", std::string("1.2.3.4")}, {"C:\\P\\b.dll", std::nullopt}};
  state.updateVersionListFile = "C:\\P\\Resources\\UpdateVersionList.txt";
  state.fragments = {{"a.dll", "1.2.3.4", "16909060"}};
  state.settingsFile = "C:\\P\\QuillframeConfig.ini";
  state.settingsPresent = true;
  state.settingsReadable = true;
  state.checkForUpdates = "1";
  state.sitesFile = "C:\\P\\QFXDownloadSites.txt";
  state.sitesPresent = true;
  state.sites = {"https://a/", "https://b/"};
  state.defaultSite = "https://a/";
  state.sitesIncludeDefault = true;
  state.resourcesFolder = "C:\\P\\Resources";
  state.resourcesExist = true;
  state.resourceFiles = 2;
  state.resourceBytes = 5000000000ull;
  EXPECT_EQ(StatusDocument(state),
            "{\n"
            "  \"schemaVersion\": 1,\n"
            "  \"controlPanelVersion\": \"3.0.6.0\",\n"
            "  \"player\": {\n"
            "    \"registered\": true,\n"
            "    \"componentPath\": \"C:\\\\P\",\n"
            "    \"componentFolderExists\": true\n"
            "  },\n"
            "  \"application\": {\n"
            "    \"applicationPath\": null,\n"
            "    \"folderExists\": false\n"
            "  },\n"
            "  \"components\": [\n"
            "    {\n"
            "      \"path\": \"C:\\\\P\\\\a.dll\",\n"
            "      \"version\": \"1.2.3.4\"\n"
            "    },\n"
            "    {\n"
            "      \"path\": \"C:\\\\P\\\\b.dll\",\n"
            "      \"version\": null\n"
            "    }\n"
            "  ],\n"
            "  \"updateVersionList\": {\n"
            "    \"file\": \"C:\\\\P\\\\Resources\\\\UpdateVersionList.txt\",\n"
            "    \"fragments\": [\n"
            "      {\n"
            "        \"name\": \"a.dll\",\n"
            "        \"version\": \"1.2.3.4\",\n"
            "        \"value\": \"16909060\"\n"
            "      }\n"
            "    ]\n"
            "  },\n"
            "  \"settings\": {\n"
            "    \"file\": \"C:\\\\P\\\\QuillframeConfig.ini\",\n"
            "    \"present\": true,\n"
            "    \"readable\": true,\n"
            "    \"checkForUpdates\": \"1\",\n"
            "    \"lastUpdateCheckTime\": null\n"
            "  },\n"
            "  \"downloadSites\": {\n"
            "    \"file\": \"C:\\\\P\\\\QFXDownloadSites.txt\",\n"
            "    \"present\": true,\n"
            "    \"sites\": [\n"
            "      \"https://a/\",\n"
            "      \"https://b/\"\n"
            "    ],\n"
            "    \"defaultSite\": \"https://a/\",\n"
            "    \"includesDefault\": true\n"
            "  },\n"
            "  \"beta\": {\n"
            "    \"additionalDownloadUrl\": null\n"
            "  },\n"
            "  \"resources\": {\n"
            "    \"folder\": \"C:\\\\P\\\\Resources\",\n"
            "    \"exists\": true,\n"
            "    \"fileCount\": 2,\n"
            "    \"sizeBytes\": 5000000000\n"
            "  }\n"
            "}\n");
}

// What cannot be read is said in the part, and texts are always valid JSON.
TEST(StatusDocumentTest, UnreadablePartsAndAwkwardTexts) {
  InstallationState state;
  state.componentPath = std::string("C:\\\"q\"\t\x01\xFF", 9);
  state.updateVersionListFile = "L";
  state.updateVersionListError = "broken";
  state.sitesFile = "S";
  state.sitesError = "gone";
  state.resourcesFolder = "R";
  state.resourcesExist = true;
  state.resourcesError = "hidden";
  const std::string document = StatusDocument(state);
  EXPECT_NE(document.find("\"componentPath\": \"C:\\\\\\\"q\\\"\\t\\u0001\xEF\xBF\xBD\""), std::string::npos)
      << document;
  EXPECT_NE(document.find("\"updateVersionList\": {\n    \"file\": \"L\",\n    \"error\": \"broken\"\n  }"),
            std::string::npos)
      << document;
  EXPECT_NE(document.find("\"present\": false,\n    \"error\": \"gone\"\n  }"), std::string::npos) << document;
  EXPECT_NE(document.find("\"exists\": true,\n    \"error\": \"hidden\"\n  }"), std::string::npos) << document;
  EXPECT_NE(document.find("\"components\": [],"), std::string::npos) << document;
}

TEST(StatusDocumentTest, ShortFormsBesideTrueNamesAndFilesLeftOut) {
  InstallationState state;
  state.playerRegistered = true;
  state.componentPath = "C:\\Player\\\xCE\xA9mega";
  state.componentShortPath = "C:\\Player\\_MEG~1";
  state.componentFolderExists = true;
  state.components = {{"C:\\Player\\\xCE\xA9mega\\a.dll", std::string("1.2.3.4"), "C:\\Player\\_MEG~1\\a.dll"}};
  state.componentsLeftOut = {"C:\\Player\\\xCE\xA9mega\\\xD0\x96.dll"};
  const std::string document = StatusDocument(state);
  EXPECT_NE(document.find("    \"componentPath\": \"C:\\\\Player\\\\\xCE\xA9mega\",\n"
                          "    \"componentShortPath\": \"C:\\\\Player\\\\_MEG~1\",\n"
                          "    \"componentFolderExists\": true\n"),
            std::string::npos)
      << document;
  EXPECT_NE(document.find("      \"path\": \"C:\\\\Player\\\\\xCE\xA9mega\\\\a.dll\",\n"
                          "      \"shortPath\": \"C:\\\\Player\\\\_MEG~1\\\\a.dll\",\n"
                          "      \"version\": \"1.2.3.4\"\n"),
            std::string::npos)
      << document;
  EXPECT_NE(document.find("  \"componentsLeftOut\": [\n    \"C:\\\\Player\\\\\xCE\xA9mega\\\\\xD0\x96.dll\"\n  ],\n"
                          "  \"updateVersionList\""),
            std::string::npos)
      << document;
  // Where no short form was used, none is written.
  EXPECT_EQ(StatusDocument(InstallationState()).find("hortPath"), std::string::npos);
  EXPECT_EQ(StatusDocument(InstallationState()).find("componentsLeftOut"), std::string::npos);
}

}  // namespace

namespace {

// What waits for a restart is listed after the components, and only then.
TEST(StatusDocumentTest, WhatWaitsForARestartIsListedOnlyThen) {
  InstallationState state;
  state.pendingRemoval = {"C:\\Player\\Comp\\QuillframeConfig.ini", "C:\\Player\\Comp"};
  const std::string document = StatusDocument(state);
  EXPECT_NE(document.find("  \"components\": [],\n"
                          "  \"pendingRemoval\": [\n"
                          "    \"C:\\\\Player\\\\Comp\\\\QuillframeConfig.ini\",\n"
                          "    \"C:\\\\Player\\\\Comp\"\n"
                          "  ],\n"
                          "  \"updateVersionList\""),
            std::string::npos)
      << document;
  EXPECT_EQ(StatusDocument(InstallationState()).find("pendingRemoval"), std::string::npos);
}

}  // namespace
