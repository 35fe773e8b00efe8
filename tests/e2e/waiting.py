"""Waiting for the state that a check needs: polled until it holds or a generous deadline passes.
A fixed sleep is too short on a slow or loaded machine (or under emulation) and wastes time on a
fast one; only something that must not happen is watched for a fixed time."""
import time

DEADLINE = 60  # seconds: far longer than any state takes to come about on a working machine


def wait_until(condition, seconds=DEADLINE, interval=0.1):
    """condition()'s first true value; its last value once the deadline has passed."""
    deadline = time.monotonic() + seconds
    while True:
        value = condition()
        if value or time.monotonic() >= deadline:
            return value
        time.sleep(interval)


def eventually(check, seconds=DEADLINE, interval=0.25):
    """Runs check(), whose assertions look at a state that comes about in its own time (frames drawn,
    seeds grown), until it passes; once the deadline has passed, its failure stands."""
    deadline = time.monotonic() + seconds
    while True:
        try:
            return check()
        except AssertionError:
            if time.monotonic() >= deadline:
                raise
        time.sleep(interval)
