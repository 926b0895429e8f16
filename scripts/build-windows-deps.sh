#!/usr/bin/env bash
# Builds the third-party libraries the Windows module links statically; filled in with the
# image decoders.
set -euo pipefail
