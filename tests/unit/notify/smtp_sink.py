"""Loopback SMTP sink for the interoperation tests.

Usage: smtp_sink.py OUTDIR. Prints the port it listens on, then stores the
envelope of each message in OUTDIR/envelope.txt (sender, then one recipient a
line) and the message exactly as received in OUTDIR/message.eml.
"""
import asyncio
import os
import sys

from aiosmtpd.smtp import SMTP


class Sink:
    def __init__(self, outdir):
        self.outdir = outdir

    async def handle_DATA(self, server, session, envelope):
        with open(os.path.join(self.outdir, "message.eml"), "wb") as f:
            f.write(envelope.original_content)
        with open(os.path.join(self.outdir, "envelope.txt"), "w") as f:
            f.write("\n".join([envelope.mail_from] + envelope.rcpt_tos) + "\n")
        return "250 Message accepted"


async def main():
    loop = asyncio.get_running_loop()
    sink = Sink(sys.argv[1])
    server = await loop.create_server(lambda: SMTP(sink, hostname="sink.test"), "127.0.0.1", 0)
    print(server.sockets[0].getsockname()[1], flush=True)
    await server.serve_forever()


asyncio.run(main())
