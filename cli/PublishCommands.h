#pragma once
#include "cli/CommandLine.h"

// "export FILE FOLDER": builds the site into FOLDER/My_Homepage_Export with
// the start page's other names and the download files.
int RunExport(const CParsedCommand& command, CCommandEnv& env);
// "publish FILE [--all]": sends the changed pages (or all of them) to the
// server of the stored FTP settings.
int RunPublish(const CParsedCommand& command, CCommandEnv& env);
// "--yes remove": removes the published site from the server.
int RunRemove(const CParsedCommand& command, CCommandEnv& env);

// The options publish and remove take besides their own: another settings
// file and connection values that override the stored ones for this run.
const std::vector<COptionSpec>& ConnectionOptions();
