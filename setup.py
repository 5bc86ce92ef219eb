"""Builds the extension mirask._mirask from the binding and the library's
C++ sources (analyser/{base,lexicon,grammar,output,library}, tests left out),
so `pip install .` needs nothing but a C++20 compiler and pybind11. The
package's metadata is in pyproject.toml. MIRASK_BUILD_JOBS (default 2)
compiles that many files at once."""

from glob import glob

from pybind11.setup_helpers import ParallelCompile, Pybind11Extension, build_ext
from setuptools import setup

LIBRARY_LAYERS = ("base", "lexicon", "grammar", "output", "library")

library_sources = [
    source
    for layer in LIBRARY_LAYERS
    for source in sorted(glob(f"analyser/{layer}/*.cpp"))
    if not source.endswith("_test.cpp")
]

ParallelCompile("MIRASK_BUILD_JOBS", default=2).install()

setup(
    package_dir={"": "python"},
    packages=["mirask"],
    ext_modules=[
        Pybind11Extension(
            "mirask._mirask",
            sorted(glob("python/src/*.cpp")) + library_sources,
            include_dirs=["."],
            cxx_std=20,
            extra_compile_args=["-O2", "-Wall", "-Wextra"],
        )
    ],
    cmdclass={"build_ext": build_ext},
    # Intermediate files stay out of the CMake presets' folders.
    options={"build": {"build_base": "build/python-setup"},
             "egg_info": {"egg_base": "build/python-setup"}},
)
