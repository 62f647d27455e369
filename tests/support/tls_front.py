#!/usr/bin/env python3
# Test support: a TLS front for the loopback test server, for the Windows
# tests under Wine (whose schannel can be a TLS client but not a server).
# It answers TLS 1.2 or newer on a free port of 127.0.0.1 with the given
# certificate and passes each connection's bytes both ways to the plain
# server on its port; when the server has said all and closed, the client
# gets a TLS close_notify and the connection ends.
#
#   tls_front.py CERT KEY SERVER_PORT FOLDER
#
# The port it listens on is written to FOLDER/port once it accepts
# connections. It ends when FOLDER/stop appears (or after ten minutes, so a
# test that died never leaves it behind), and writes FOLDER/ended last.
import os
import select
import socket
import ssl
import sys
import threading
import time

cert, key, server_port, folder = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4]

context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
context.minimum_version = ssl.TLSVersion.TLSv1_2
context.load_cert_chain(cert, key)


def relay(client):
    try:
        client.settimeout(5)
        tls = context.wrap_socket(client, server_side=True)
    except (OSError, ssl.SSLError):
        client.close()
        return
    try:
        upstream = socket.create_connection(("127.0.0.1", server_port), timeout=5)
    except OSError:
        tls.close()
        return
    tls.settimeout(None)
    upstream.settimeout(None)
    try:
        while True:
            ready = [tls] if tls.pending() else select.select([tls, upstream], [], [], 30)[0]
            if not ready:
                continue  # a stalled server: the client decides when to give up
            if tls in ready:
                data = tls.recv(65536)
                if not data:
                    break  # the client is gone
                upstream.sendall(data)
            if upstream in ready:
                data = upstream.recv(65536)
                if not data:
                    tls.unwrap()  # the server is done: close_notify
                    break
                tls.sendall(data)
    except (OSError, ssl.SSLError):
        pass
    finally:
        upstream.close()
        tls.close()


listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
listener.bind(("127.0.0.1", 0))
listener.listen(16)
with open(os.path.join(folder, "port.part"), "w") as f:
    f.write(str(listener.getsockname()[1]))
os.replace(os.path.join(folder, "port.part"), os.path.join(folder, "port"))

end = time.monotonic() + 600
while not os.path.exists(os.path.join(folder, "stop")) and time.monotonic() < end:
    if select.select([listener], [], [], 0.05)[0]:
        client, _ = listener.accept()
        threading.Thread(target=relay, args=(client,), daemon=True).start()
listener.close()
with open(os.path.join(folder, "ended"), "w") as f:
    f.write("")
