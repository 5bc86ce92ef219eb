{"item":{"line":1,"text":"early","grammatical":true,"expected_count":null,"expected_analysis":null},"verdict":"pass","found":{"outcome":"analysed","count":1,"analysis":"<SATZ(AAAA BBBB)>","nodes":3,"time_us":10},"record":{"version":1,"number":1}}
{"profile":1,"program":"Mirask 09-2002","date":"2024-05-01T12:00:00Z","configuration":"conf.cfg","start_category":"SATZ","utf8":false,"suite":"x.suite","files":[{"role":"configuration","name":"conf.cfg","checksum":"fnv1a64:0000000000000000"},{"role":"rules","name":"rules.txt","checksum":"fnv1a64:1111111111111111"}]}
{"item":{"line":2,"text":"alpha beta","grammatical":true,"expected_count":null,"expected_analysis":null},"verdict":"pass","found":{"outcome":"analysed","count":1,"analysis":"<SATZ(AAAA BBBB)>","nodes":3,"time_us":10},"record":{"version":1,"number":2}}
{"item":{"line":3,"text":"x","grammatical":true},"verdict":"pass","found":{"outcome":"analysed","count":-1,"analysis":null,"nodes":1,"time_us":1}}
not json at all
{"item":{"line":4,"text":"x","grammatical":true},"verdict":"pass"

{"profile":7,"suite":"y","files":[]}
{"end":{"lines":9,"items":3}}
{"profile":1,"program":"Mirask 09-2002","date":"2024-05-01T12:00:00Z","configuration":"conf.cfg","start_category":"SATZ","utf8":false,"suite":"x.suite","files":[{"role":"configuration","name":"conf.cfg","checksum":"fnv1a64:0000000000000000"},{"role":"rules","name":"rules.txt","checksum":"fnv1a64:1111111111111111"}]}
{"item":{"line":1,"text":"alpha beta","grammatical":true,"expected_count":null,"expected_analysis":null},"verdict":"pass","found":{"outcome":"analysed","count":1,"analysis":"<SATZ(AAAA BBBB)>","nodes":3,"time_us":10},"record":{"version":1,"number":1}}
