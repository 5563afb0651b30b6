#include "tests/support/server_database.h"

#include "db/client/client_library.h"
#include "db/client/internal/client_api.h"
#include "db/client/server_error.h"
#include "db/client/status_vector.h"

#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>
#include <utility>
#include <vector>

namespace velkor::test {

namespace {

std::string Env(const char *name)
{
    const char *value = std::getenv(name);
    return value ? value : "";
}

// `text` as a string literal of SQL.
std::string SqlQuote(const std::string &text)
{
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += '\'';
        quoted += c;
    }
    return quoted + "'";
}

} // namespace

bool TTestServer::Available()
{
    return !Port().empty();
}

std::string TTestServer::Port()
{
    return Env("VELKOR_TEST_SERVER_PORT");
}

std::string TTestServer::UserName()
{
    const std::string name = Env("VELKOR_TEST_SERVER_USER");
    return name.empty() ? "SYSDBA" : name;
}

std::string TTestServer::Password()
{
    return Env("VELKOR_TEST_SERVER_PASSWORD");
}

std::string TTestServer::Remote(const std::string &path)
{
    return "localhost/" + Port() + ":" + path;
}

TServerDatabase::TServerDatabase()
    : path_(folder_.Path() + "/server.fdb")
{
    RequireClientLibrary();
    const std::string sql = "CREATE DATABASE " + SqlQuote(Remote()) + " USER " +
                            SqlQuote(TTestServer::UserName()) + " PASSWORD " +
                            SqlQuote(TTestServer::Password()) + " DEFAULT CHARACTER SET WIN1251";
    const TClientApi &api = ClientApi();
    isc_db_handle database = 0;
    isc_tr_handle transaction = 0;
    if (api.isc_dsql_execute_immediate(ThreadStatusVector(), &database, &transaction, 0,
                                       sql.c_str(), 1, nullptr) > 0)
        ReportServerError();
    api.isc_detach_database(ThreadStatusVector(), &database);
}

TServerDatabase::~TServerDatabase()
{
    // Dropped through the server, which may hold the file open; when that fails (an attachment
    // is still there) the folder's removal takes the file all the same.
    const TClientApi &api = ClientApi();
    std::vector<char> dpb{isc_dpb_version1};
    for (const auto &[tag, value] : {std::pair{isc_dpb_user_name, TTestServer::UserName()},
                                     std::pair{isc_dpb_password, TTestServer::Password()}}) {
        dpb.push_back(static_cast<char>(tag));
        dpb.push_back(static_cast<char>(value.size()));
        dpb.insert(dpb.end(), value.begin(), value.end());
    }
    isc_db_handle database = 0;
    const std::string remote = Remote();
    if (api.isc_attach_database(ThreadStatusVector(), 0, remote.c_str(), &database,
                                static_cast<short>(dpb.size()), dpb.data()) == 0 &&
        api.isc_drop_database(ThreadStatusVector(), &database) > 0)
        api.isc_detach_database(ThreadStatusVector(), &database);
}

int RunDemoScript(const std::string &script, const std::string &database, std::string &output)
{
    const std::string command = "ISC_USER=" + ShellQuote(TTestServer::UserName()) +
                                " ISC_PASSWORD=" + ShellQuote(TTestServer::Password()) + " " +
                                ShellQuote(std::string(VELKOR_DEMO_FOLDER) + "/" + script) + " " +
                                ShellQuote(database) + " 2>&1";
    output.clear();
    FILE *pipe = popen(command.c_str(), "r");
    if (!pipe)
        return -1;
    char buffer[4096];
    std::size_t read = 0;
    while ((read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, read);
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace velkor::test
