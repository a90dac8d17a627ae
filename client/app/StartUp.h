#pragma once

// The start of the client, from the single-instance check to the end of the run; returns the exit code.
// `showSplash` is false only where a measurement must leave out the splash's fixed three seconds.
int RunNelvodesk(bool showSplash = true);
