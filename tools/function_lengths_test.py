#!/usr/bin/env python3
"""Checks tools/function_lengths on sources written for it."""

import importlib.machinery
import importlib.util
import os
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
TOOL = os.path.join(HERE, "function_lengths")
loader = importlib.machinery.SourceFileLoader("function_lengths", TOOL)
spec = importlib.util.spec_from_loader("function_lengths", loader)
fl = importlib.util.module_from_spec(spec)
loader.exec_module(fl)

# Each case: a source and the (name, first line, lines, code lines) of every
# function the tool must find in it, in the order they end.
CASES = [
    (
        "braces in strings, characters, comments and raw strings",
        'int f()\n{\n    const char* s = "{{";\n    char c = \'}\';\n    // {\n    /* } */\n'
        '    auto r = uR"x({ ")x";\n    return 0;\n}\n',
        [("f", 1, 9, 9)],
    ),
    (
        "a table inside a function counts apart",
        "void Build()\n{\n    static const Setting settings[] = {\n        { 1, 2 },\n        { 3, 4 },\n"
        "    };\n    Use(settings);\n}\n",
        [("Build", 1, 8, 5)],
    ),
    (
        "lambdas, local classes and blocks are code",
        "void g()\n{\n    auto a = [&] {\n        x();\n    };\n    struct R {\n        ~R()\n        {\n"
        "        }\n    } r;\n    {\n        y();\n    }\n}\n",
        [("g", 1, 14, 14)],
    ),
    (
        "members in a class in a namespace, a qualified name and an init list",
        "namespace n {\nclass C {\n    int m() const { return 1; }\n};\n}\nC::C()\n    : x(1)\n{\n}\n",
        [("m", 3, 1, 1), ("C::C", 6, 4, 4)],
    ),
    (
        "tables, enums and declarations outside functions are not functions",
        "enum E { a, b };\nconst int t[] = {\n    1,\n};\nvoid h(int);\n#define M { }\nvoid k() { }\n",
        [("k", 7, 1, 1)],
    ),
    (
        "a test macro keeps its arguments as its name",
        "TEST_F(Suite, Case)\n{\n    EXPECT_TRUE(true);\n}\n",
        [("TEST_F(Suite, Case)", 1, 4, 4)],
    ),
]


def measure(source):
    with tempfile.NamedTemporaryFile("w", suffix=".cpp", delete=False) as f:
        f.write(source)
    try:
        return [(name, first, total, code) for total, code, _, first, name in fl.measure(f.name)]
    finally:
        os.unlink(f.name)


class FunctionLengths(unittest.TestCase):
    def test_cases(self):
        for what, source, expected in CASES:
            with self.subTest(what):
                self.assertEqual(measure(source), expected)

    def test_exit_status_follows_the_code_lines_only(self):
        long_code = "void a()\n{\n" + "    x();\n" * 119 + "}\n"  # 122 lines, 122 of code
        long_table = "void b()\n{\n    int t[] = {\n" + "        1,\n" * 200 + "    };\n}\n"
        for source, status in ((long_code, 1), (long_table, 0)):
            with tempfile.TemporaryDirectory() as folder:
                with open(os.path.join(folder, "s.cpp"), "w") as f:
                    f.write(source)
                run = subprocess.run([sys.executable, TOOL, folder], capture_output=True, text=True)
                self.assertEqual(run.returncode, status, run.stdout)


if __name__ == "__main__":
    unittest.main()
