"""When the C++ runtime refuses a request, the program ends at once with code 3,
through its own ending rather than the runtime's printing terminate handler."""

import pytest

from conftest import BUILD


@pytest.mark.parametrize("request_kind", ["length", "memory"])
def test_refused_runtime_request_ends_the_process_with_code_3(prefix, tmp_path, request_kind):
    output = tmp_path / "out.txt"
    code = prefix.run([BUILD / "tests" / "runtimefailure.exe", request_kind], output, timeout=60)
    assert code == 3
    assert b"terminate called" not in output.read_bytes()
