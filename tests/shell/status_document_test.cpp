#include "shell/status_document.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(StatusDocumentTest, AnInstallationWithEveryPart) {
  InstallationStatus status;
  status.controlPanelVersion = "3.0.6.0";
  status.playerRegistered = true;
  status.componentPath = "C:\\P";
  status.componentFolderExists = true;
  status.components = {{"C:\\P\\a.dll", std::string("1.2.3.4")}, {"C:\\P\\b.dll", std::nullopt}};
  status.updateVersionListFile = "C:\\P\\Resources\\UpdateVersionList.txt";
  status.fragments = {{"a.dll", "1.2.3.4", "16909060"}};
  status.settingsFile = "C:\\P\\QuillframeConfig.ini";
  status.settingsPresent = true;
  status.settingsReadable = true;
  status.checkForUpdates = "1";
  status.sitesFile = "C:\\P\\QFXDownloadSites.txt";
  status.sitesPresent = true;
  status.sites = {"https://a/", "https://b/"};
  status.defaultSite = "https://a/";
  status.sitesIncludeDefault = true;
  status.resourcesFolder = "C:\\P\\Resources";
  status.resourcesExist = true;
  status.resourceFiles = 2;
  status.resourceBytes = 5000000000ull;
  EXPECT_EQ(StatusDocument(status),
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
  InstallationStatus status;
  status.componentPath = std::string("C:\\\"q\"\t\x01\xFF", 9);
  status.updateVersionListFile = "L";
  status.updateVersionListError = "broken";
  status.sitesFile = "S";
  status.sitesError = "gone";
  status.resourcesFolder = "R";
  status.resourcesExist = true;
  status.resourcesError = "hidden";
  const std::string document = StatusDocument(status);
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
  InstallationStatus status;
  status.playerRegistered = true;
  status.componentPath = "C:\\Player\\\xCE\xA9mega";
  status.componentShortPath = "C:\\Player\\_MEG~1";
  status.componentFolderExists = true;
  status.components = {{"C:\\Player\\\xCE\xA9mega\\a.dll", std::string("1.2.3.4"), "C:\\Player\\_MEG~1\\a.dll"}};
  status.componentsLeftOut = {"C:\\Player\\\xCE\xA9mega\\\xD0\x96.dll"};
  const std::string document = StatusDocument(status);
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
  EXPECT_EQ(StatusDocument(InstallationStatus()).find("hortPath"), std::string::npos);
  EXPECT_EQ(StatusDocument(InstallationStatus()).find("componentsLeftOut"), std::string::npos);
}

}  // namespace
