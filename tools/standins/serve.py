#!/usr/bin/env python3
"""Runs one stand-in instance on the fixed ports the build's defaults use, with
the committed development keys, for trying the program by hand:

    python3 tools/standins/serve.py

  speech service      http://127.0.0.1:18180  https://127.0.0.1:18543
  client management   https://127.0.0.1:18544/  http://127.0.0.1:18181/
  login service       http://127.0.0.1:18182/
  control API         http://127.0.0.1:18190  (instance id "fixed")

Stop it with Ctrl+C.
"""

import argparse
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.dont_write_bytecode = True  # keep the source tree free of caches
sys.path.insert(0, HERE)

import supervisor  # noqa: E402
from instance import FIXED_PORTS  # noqa: E402

CONTROL_PORT = 18190


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--control-port", type=int, default=CONTROL_PORT)
    args = parser.parse_args()
    return supervisor.serve(args.control_port, None, os.path.join(HERE, "dev-keys"), FIXED_PORTS)


if __name__ == "__main__":
    sys.exit(main())
