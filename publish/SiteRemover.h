#pragma once
#include "publish/FtpSession.h"

struct CPublishEnvironment;

// Removes a published site from the server: the front page under its four
// names, every file of the files folder and its Download folder, and the two
// folders. The catalog itself stays. One object per run.
class CSiteRemover {
public:
    explicit CSiteRemover(CPublishEnvironment& env) : m_env(env), m_session(env) {}

    // Connects (the settings must be complete and the user has agreed) and
    // removes. True when the site is gone or was never there; every failure
    // has been reported.
    bool Run();

private:
    bool EnterCatalog(bool& nothingThere);
    bool ClearFilesFolder();
    void Done();

    CPublishEnvironment& m_env;
    CFtpSession m_session;
};
