// The smallest X session manager a test needs: it accepts one client, and on
// a line of standard input asks it to save as at a logout ("logout"), calls
// the logout off ("cancel") or ends the session ("die"). It prints each step
// ("listening <SESSION_MANAGER>", "registered", "saved", "closed") on a line.
#include <X11/ICE/ICElib.h>
#include <X11/SM/SMlib.h>

#include <poll.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace
{

SmsConn client = nullptr;

void say(const std::string &line)
{
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

Bool acceptAnyHost(char *)
{
    return True;
}

// ICE's own handler ends the process when a client goes away.
void ignoreIoError(IceConn) {}

Status registerClient(SmsConn connection, SmPointer, char *previousId)
{
    std::free(previousId);
    char *id = SmsGenerateClientID(connection);
    SmsRegisterClientReply(connection, id);
    std::free(id);
    client = connection;
    // A new client is asked to save at once, as the protocol says.
    SmsSaveYourself(connection, SmSaveLocal, False, SmInteractStyleNone, False);
    say("registered");
    return 1;
}

void interactRequest(SmsConn connection, SmPointer, int)
{
    SmsInteract(connection);
}

void interactDone(SmsConn, SmPointer, Bool) {}
void saveYourselfRequest(SmsConn, SmPointer, int, Bool, int, Bool, Bool) {}

void saveYourselfPhase2Request(SmsConn connection, SmPointer)
{
    SmsSaveYourselfPhase2(connection);
}

void saveYourselfDone(SmsConn, SmPointer, Bool success)
{
    say(success ? "saved" : "save failed");
}

void closeConnection(SmsConn connection, SmPointer, int count, char **reasons)
{
    SmFreeReasons(count, reasons);
    SmsCleanUp(connection);
    client = nullptr;
    say("closed");
}

void setProperties(SmsConn, SmPointer, int count, SmProp **properties)
{
    for (int i = 0; i < count; ++i)
        SmFreeProperty(properties[i]);
    std::free(properties);
}

void deleteProperties(SmsConn, SmPointer, int count, char **names)
{
    for (int i = 0; i < count; ++i)
        std::free(names[i]);
    std::free(names);
}

void getProperties(SmsConn connection, SmPointer)
{
    SmsReturnProperties(connection, 0, nullptr);
}

Status newClient(SmsConn, SmPointer, unsigned long *mask, SmsCallbacks *callbacks, char **)
{
    *mask = SmsRegisterClientProcMask | SmsInteractRequestProcMask | SmsInteractDoneProcMask |
            SmsSaveYourselfRequestProcMask | SmsSaveYourselfP2RequestProcMask |
            SmsSaveYourselfDoneProcMask | SmsCloseConnectionProcMask | SmsSetPropertiesProcMask |
            SmsDeletePropertiesProcMask | SmsGetPropertiesProcMask;
    callbacks->register_client.callback = registerClient;
    callbacks->interact_request.callback = interactRequest;
    callbacks->interact_done.callback = interactDone;
    callbacks->save_yourself_request.callback = saveYourselfRequest;
    callbacks->save_yourself_phase2_request.callback = saveYourselfPhase2Request;
    callbacks->save_yourself_done.callback = saveYourselfDone;
    callbacks->close_connection.callback = closeConnection;
    callbacks->set_properties.callback = setProperties;
    callbacks->delete_properties.callback = deleteProperties;
    callbacks->get_properties.callback = getProperties;
    return 1;
}

} // namespace

int main()
{
    char error[256] = {};
    IceSetIOErrorHandler(ignoreIoError);
    if (!SmsInitialize("nimbrel-test", "1", newClient, nullptr, acceptAnyHost, sizeof error,
                       error)) {
        std::fprintf(stderr, "SmsInitialize: %s\n", error);
        return 1;
    }
    int count = 0;
    IceListenObj *listeners = nullptr;
    if (!IceListenForConnections(&count, &listeners, sizeof error, error)) {
        std::fprintf(stderr, "IceListenForConnections: %s\n", error);
        return 1;
    }
    for (int i = 0; i < count; ++i)
        IceSetHostBasedAuthProc(listeners[i], acceptAnyHost);
    char *ids = IceComposeNetworkIdList(count, listeners);
    say(std::string("listening ") + ids);
    std::free(ids);

    std::vector<IceConn> connections;
    for (;;) {
        std::vector<pollfd> fds = {{STDIN_FILENO, POLLIN, 0}};
        for (int i = 0; i < count; ++i)
            fds.push_back({IceGetListenConnectionNumber(listeners[i]), POLLIN, 0});
        for (IceConn connection : connections)
            fds.push_back({IceConnectionNumber(connection), POLLIN, 0});
        if (::poll(fds.data(), fds.size(), -1) < 0)
            return 1;

        if (fds[0].revents) {
            char line[64] = {};
            if (!std::fgets(line, sizeof line, stdin))
                return 0;
            if (!client)
                say("no client");
            else if (std::strncmp(line, "logout", 6) == 0)
                SmsSaveYourself(client, SmSaveBoth, True, SmInteractStyleNone, False);
            else if (std::strncmp(line, "cancel", 6) == 0)
                SmsShutdownCancelled(client);
            else if (std::strncmp(line, "die", 3) == 0)
                SmsDie(client);
        }
        for (int i = 0; i < count; ++i) {
            if (!fds[1 + i].revents)
                continue;
            IceAcceptStatus status;
            IceConn connection = IceAcceptConnection(listeners[i], &status);
            if (!connection)
                continue;
            while (IceConnectionStatus(connection) == IceConnectPending)
                IceProcessMessages(connection, nullptr, nullptr);
            if (IceConnectionStatus(connection) == IceConnectAccepted)
                connections.push_back(connection);
            else
                IceCloseConnection(connection);
        }
        for (size_t i = 0; i < connections.size(); ++i) {
            if (!fds[1 + count + i].revents)
                continue;
            if (IceProcessMessages(connections[i], nullptr, nullptr) != IceProcessMessagesSuccess) {
                IceCloseConnection(connections[i]);
                connections.erase(connections.begin() + long(i));
                break;
            }
        }
    }
}
