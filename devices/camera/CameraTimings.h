#pragma once

// The picture loop's intervals, in milliseconds. Tests shorten them.
struct CameraTimings
{
    int startWait = 2000;   // after switching the camera on, before the first picture
    int refresh = 55000;    // keep-alive switch-on while the loop runs
    int ready = 3000;       // settle delay after the first picture of a switch-on
    int requestTimeout = 10000;
};
