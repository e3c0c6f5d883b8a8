// Before the runtime opens the standard streams: every byte the game writes goes to the page
// raw, as a number from 0 to 255 (the console stream is Latin-1: no decoding may touch it).
(function() {
  function byteSink(name) {
    var sink = Module[name];
    return typeof sink === 'function' ? function(byte) { sink(byte & 255); } : undefined;
  }
  var stdout = byteSink('onStdoutByte'), stderr = byteSink('onStderrByte');
  if (stdout) Module['stdout'] = stdout;
  if (stderr) Module['stderr'] = stderr;
})();
