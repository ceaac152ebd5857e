"""What the Visio stand-in's SVG readers share: one Wine test case draws
into the stand-in and saves its pages as SVG in a folder the reader gives
it; the reader parses them with Python's own XML parser and gathers the
checks that fail."""
import os
import subprocess
import tempfile
import xml.etree.ElementTree as ET

SVG_NS = "http://www.w3.org/2000/svg"
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)


def draw_pages(wine_run, tests_exe, test_case, folder_variable, timeout):
    """Runs the Wine test case `test_case`, telling it in the environment
    variable `folder_variable` where to save the SVG pages; returns the saved
    file names (sorted) and their parsed roots by name, or None when the
    drawing step failed."""
    with tempfile.TemporaryDirectory() as folder:
        env = dict(os.environ, **{folder_variable: "Z:" + folder.replace("/", "\\")})
        run = subprocess.run([wine_run, tests_exe, "--gtest_filter=" + test_case], env=env, timeout=timeout)
        if run.returncode != 0:
            print("the drawing step failed")
            return None
        names = sorted(os.listdir(folder))
        return names, {n: ET.parse(os.path.join(folder, n)).getroot() for n in names}


def report():
    """Prints the failed checks; the exit code of the reader."""
    for f in failures:
        print("FAILED:", f)
    print("%d checks failed" % len(failures))
    return 1 if failures else 0
