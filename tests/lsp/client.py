"""A language-server client for the tests and the benchmark: runs the server
over pipes, frames messages, and collects what the server sends on a thread."""

import json
import os
import queue
import subprocess
import threading
import time
import urllib.parse


def uri_of(path):
    return "file://" + urllib.parse.quote(os.path.abspath(path))


def path_of(uri):
    return urllib.parse.unquote(uri[len("file://"):])


class Client:
    def __init__(self, server, root, init_options=None, stderr=subprocess.DEVNULL):
        self.process = subprocess.Popen([server], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        stderr=stderr)
        self.messages = queue.Queue()
        self.next_id = 0
        self.diagnostics = {}  # uri -> the last list published
        self.published = threading.Condition()
        self.shown = queue.Queue()  # the params of each window/showMessage
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()
        params = {"processId": os.getpid(), "rootUri": uri_of(root), "capabilities": {}}
        if init_options is not None:
            params["initializationOptions"] = init_options
        self.capabilities = self.request("initialize", params)["result"]["capabilities"]
        self.notify("initialized", {})

    def _read(self):
        stream = self.process.stdout
        while True:
            length = None
            while True:
                line = stream.readline()
                if not line:
                    self.messages.put(None)
                    return
                line = line.strip()
                if not line:
                    break
                name, _, value = line.partition(b":")
                if name.lower() == b"content-length":
                    length = int(value)
            message = json.loads(stream.read(length))
            if message.get("method") == "textDocument/publishDiagnostics":
                with self.published:
                    self.diagnostics[message["params"]["uri"]] = message["params"]["diagnostics"]
                    self.published.notify_all()
            elif message.get("method") == "window/showMessage":
                self.shown.put(message["params"])
            else:
                self.messages.put(message)

    def send_bytes(self, data):
        self.process.stdin.write(data)
        self.process.stdin.flush()

    def send(self, message):
        body = json.dumps(message).encode()
        self.send_bytes(b"Content-Length: %d\r\n\r\n" % len(body) + body)

    def notify(self, method, params):
        self.send({"jsonrpc": "2.0", "method": method, "params": params})

    def request(self, method, params, timeout=30):
        self.next_id += 1
        self.send({"jsonrpc": "2.0", "id": self.next_id, "method": method, "params": params})
        return self.reply(self.next_id, timeout)

    def reply(self, request_id, timeout=30):
        deadline = time.monotonic() + timeout
        while True:
            message = self.messages.get(timeout=max(0.001, deadline - time.monotonic()))
            if message is None:
                raise EOFError("the server closed its output")
            if message.get("id") == request_id:
                return message

    def open(self, path, text=None, language=None):
        if text is None:
            with open(path, encoding="utf-8", newline="") as source:
                text = source.read()
        self.notify("textDocument/didOpen", {"textDocument": {
            "uri": uri_of(path), "languageId": language or path.rsplit(".", 1)[-1].lower(),
            "version": 1, "text": text}})

    def wait_diagnostics(self, uri, accept=lambda found: True, timeout=30):
        """The diagnostics published for `uri` that `accept` takes (the first
        such list, or one published later)."""
        deadline = time.monotonic() + timeout
        with self.published:
            while uri not in self.diagnostics or not accept(self.diagnostics[uri]):
                left = deadline - time.monotonic()
                if left <= 0:
                    raise TimeoutError("no diagnostics for " + uri)
                self.published.wait(left)
            return self.diagnostics[uri]

    def forget_diagnostics(self):
        with self.published:
            self.diagnostics.clear()

    def close(self):
        """Shuts the server down; returns its exit status."""
        self.request("shutdown", None)
        self.notify("exit", None)
        return self.wait()

    def wait(self):
        """Waits for the server to end; returns its exit status."""
        if not self.process.stdin.closed:
            self.process.stdin.close()
        status = self.process.wait(timeout=30)
        self.reader.join(timeout=30)
        self.process.stdout.close()
        if self.process.stderr:
            self.process.stderr.close()
        return status
