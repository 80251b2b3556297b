#!/usr/bin/env python3
"""Runs one stand-in instance on the fixed ports the build's defaults use
(tools/standins/ports.env), with the committed development keys, for trying
the program by hand:

    python3 tools/standins/serve.py

It serves the speech service (HTTP and HTTPS), the client-management service
(HTTPS and HTTP), the login service and the control API (instance id "fixed").

Stop it with Ctrl+C.
"""

import argparse
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.dont_write_bytecode = True  # keep the source tree free of caches
sys.path.insert(0, HERE)

import supervisor  # noqa: E402
from instance import CONTROL_PORT, FIXED_PORTS  # noqa: E402


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--control-port", type=int, default=CONTROL_PORT)
    args = parser.parse_args()
    return supervisor.serve(args.control_port, None, os.path.join(HERE, "dev-keys"), FIXED_PORTS)


if __name__ == "__main__":
    sys.exit(main())
