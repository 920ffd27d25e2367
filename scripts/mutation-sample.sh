#!/usr/bin/env bash
# How strong are the tests? Applies N small mutations to src/ and tools/, one
# at a time, rebuilds what changed, runs the tests that can see the change,
# and counts how many mutants the tests catch. Slow, so not part of CI; run
# it with the same seed before and after changing tests: the caught share
# must not fall.
#
#   scripts/mutation-sample.sh [-n N] [-s SEED] [--only PATH-PREFIX]
#                              [-t SECONDS] [-j JOBS] [-E TEST-REGEX] [--list]
#
# What is sampled: the .cpp and .h files under src/ and tools/ that some
# test binary compiles, or that a program or artwork a test runs is built
# from (found in the build's own dependency graph, so code only the
# benchmarks reach is left out; without Xvfb the tests that need an X
# server cannot run, and code only they reach is left out as well). Of
# those files, lines that carry a mutation site; never comments, blank
# lines, preprocessor lines (includes), string or character literals,
# logging statements (fprintf to stderr, printf, std::cerr, qDebug, ...),
# static_assert or assert. The seed picks N such lines, then one site on
# each. The same seed and the same sources give the same mutants.
#
# The mutations:
#   flip a comparison   a < b -> a <= b, <= -> <, > -> >=, >= -> >,
#                       == -> !=, != -> ==, && -> ||, || -> &&
#   change a constant   integers, and numbers of 1 or more, by one
#                       (12 -> 13, 2.5f -> 3.5f, 0x0F -> 0x10); fractions
#                       below 1 in their last written digit (0.25f ->
#                       0.26f); true <-> false
#   drop a statement    a whole one-line statement becomes {}
#   swap a branch       if (c) -> if (!(c)); c ? x : y -> c ? y : x
#
# How a mutant is judged: the tests of the binaries whose contents changed,
# and of those that run a changed program or texture, with the tests
# mirroring the mutated file first; the first failure stops the run.
# caught: a test failed twice in a row (once may be another user's port),
# a test binary failed when the build listed its tests, or the mutant ran
# past its time-out (-t, default twice the unmutated run plus a minute).
# survived: every test passed. Counted neither way: did-not-build (the
# compiler refused it; warnings do not stop the mutants' build) and
# no-effect (no binary or texture changed, so no test could ever see it).
#
# Everything happens in build-mutation/: a private copy of the tree (the
# working tree itself is never written, so Ctrl-C cannot leave a mutation
# in it), a build folder configured once, the logs of every mutant in
# build-mutation/logs/. The unmutated tests run once per state of the
# sources, and must pass before any mutant is judged. A mutant takes about
# a build of one file and a relink, plus the tests up to the first failure;
# one that survives costs a run of every test that can see it.
set -euo pipefail
exec python3 "$(dirname "$0")/mutation_sample.py" "$@"
